#include "screen/VgaFont.h"

#include <zlib.h>

#include <algorithm>
#include <map>

#include "base/Utf8.h"
#include "screen/Cp437.h"

namespace screen {

namespace {

// In order of preference. default8x16 is the IBM VGA font itself. console-setup's VGA fonts
// draw a few letters otherwise and spread code page 437 over two files: FullGreek has the
// double lines and blocks (Uni2 folds them into single lines), Uni2 the letters it lacks.
const char* const FontFiles[] = {"default8x16.psf.gz", "FullGreek-VGA16.psf.gz",
                                 "Uni2-VGA16.psf.gz"};

constexpr size_t LargestFont = 1 << 20;

using Glyph = std::array<uint8_t, CellHeight>;

// A PSF font of 8x16 glyphs: the glyphs and, when it has one, its table of the Unicode
// characters each glyph shows. Without a table, the glyphs are in code page 437 order.
struct PsfFont {
  std::vector<Glyph> Glyphs;
  std::map<char32_t, size_t> Shows;
};

uint32_t Le32(const std::string& data, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(data[at + static_cast<size_t>(i)]);
  return value;
}

// gzread reads plain files as they are, so an unpacked font serves as well.
std::optional<std::string> ReadPacked(const std::string& path) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  // In pieces: a font is a few kilobytes, and a megabyte cleared up front costs more than
  // reading it.
  std::string data;
  char piece[16384];
  int got = 0;
  while (data.size() < LargestFont && (got = gzread(file, piece, sizeof piece)) > 0)
    data.append(piece, std::min(static_cast<size_t>(got), LargestFont - data.size()));
  gzclose(file);
  if (got < 0 || data.empty()) return std::nullopt;
  return data;
}

bool ReadGlyphs(const std::string& data, size_t at, size_t count, PsfFont& font) {
  if (data.size() < at + count * CellHeight) return false;
  font.Glyphs.resize(count);
  for (size_t i = 0; i < count; ++i)
    for (size_t y = 0; y < CellHeight; ++y)
      font.Glyphs[i][y] = static_cast<uint8_t>(data[at + i * CellHeight + y]);
  return true;
}

// PSF 1: 256 or 512 glyphs, a table of 16-bit characters, each glyph's list ended by FFFF;
// from FFFE on a list holds sequences, which no single character needs.
void ReadTable1(const std::string& data, size_t at, PsfFont& font) {
  bool sequences = false;
  for (size_t glyph = 0; glyph < font.Glyphs.size() && at + 1 < data.size(); at += 2) {
    const char32_t c =
        static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
    if (c == 0xFFFF) {
      ++glyph;
      sequences = false;
    } else if (c == 0xFFFE) {
      sequences = true;
    } else if (!sequences) {
      font.Shows.emplace(c, glyph);
    }
  }
}

// PSF 2: the same lists in UTF-8, ended by FF, sequences from FE on.
void ReadTable2(const std::string& data, size_t at, PsfFont& font) {
  bool sequences = false;
  for (size_t glyph = 0; glyph < font.Glyphs.size() && at < data.size();) {
    const auto lead = static_cast<unsigned char>(data[at]);
    if (lead == 0xFF || lead == 0xFE) {
      glyph += lead == 0xFF;
      sequences = lead == 0xFE;
      ++at;
      continue;
    }
    const vestalo::Utf8Char decoded = vestalo::DecodeUtf8(std::string_view(data).substr(at));
    if (decoded.Result == vestalo::Utf8Char::Incomplete) return;
    if (decoded.Result == vestalo::Utf8Char::Character && !sequences)
      font.Shows.emplace(decoded.CodePoint, glyph);
    at += decoded.Length;
  }
}

std::optional<PsfFont> ReadPsf(const std::string& path) {
  const auto data = ReadPacked(path);
  if (!data) return std::nullopt;
  PsfFont font;
  if (data->size() >= 4 && (*data)[0] == 0x36 && (*data)[1] == 0x04 && (*data)[3] == CellHeight) {
    const int mode = (*data)[2];
    if (!ReadGlyphs(*data, 4, mode & 1 ? 512 : 256, font)) return std::nullopt;
    if (mode & 0x06) ReadTable1(*data, 4 + font.Glyphs.size() * CellHeight, font);
    return font;
  }
  if (data->size() >= 32 && Le32(*data, 0) == 0x864AB572 && Le32(*data, 20) == CellHeight * 1u &&
      Le32(*data, 24) == CellHeight && Le32(*data, 28) == 8) {
    const size_t header = Le32(*data, 8), count = Le32(*data, 16);
    if (count > LargestFont / CellHeight || !ReadGlyphs(*data, header, count, font))
      return std::nullopt;
    if (Le32(*data, 12) & 1) ReadTable2(*data, header + count * CellHeight, font);
    return font;
  }
  return std::nullopt;
}

}  // namespace

std::optional<VgaFont> FindVgaFont(const std::string& folder) {
  VgaFont vga;
  std::array<bool, 256> found{};
  int missing = 256;
  for (const char* name : FontFiles) {
    const std::string path = folder + "/" + name;
    const auto font = ReadPsf(path);
    if (!font) continue;
    bool used = false;
    for (size_t byte = 0; byte < 256; ++byte) {
      if (found[byte]) continue;
      const auto shows = font->Shows.find(screen::Cp437CodePoint(static_cast<unsigned char>(byte)));
      const size_t glyph = font->Shows.empty()          ? byte
                           : shows == font->Shows.end() ? font->Glyphs.size()
                                                        : shows->second;
      if (glyph >= font->Glyphs.size()) continue;
      vga.Glyphs[byte] = font->Glyphs[glyph];
      found[byte] = used = true;
      --missing;
    }
    if (used) vga.Files.push_back(path);
    if (missing == 0) break;
  }
  if (vga.Files.empty()) return std::nullopt;
  vga.Missing = missing;
  return vga;
}

}  // namespace screen
