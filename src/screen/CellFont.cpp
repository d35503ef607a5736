#include "screen/CellFont.h"

#include <algorithm>
#include <array>

namespace screen {

namespace {

// The glyphs QEMU's VGA BIOS draws otherwise than IBM's font (docs/graphical-menu.md, "Font"):
// a longer minus, a round zero with a dot, an @ one row shorter, the top of the integral
// one row shorter.
struct BiosGlyph {
  unsigned char Char;
  std::array<uint8_t, CellHeight> Rows;
};
// clang-format off
constexpr BiosGlyph BiosGlyphs[] = {
    {0x2D, {0, 0, 0, 0, 0, 0, 0, 0xFE, 0, 0, 0, 0, 0, 0, 0, 0}},
    {0x30, {0, 0, 0x3C, 0x66, 0xC3, 0xC3, 0xDB, 0xDB, 0xC3, 0xC3, 0x66, 0x3C, 0, 0, 0, 0}},
    {0x40, {0, 0, 0, 0x7C, 0xC6, 0xC6, 0xDE, 0xDE, 0xDE, 0xDC, 0xC0, 0x7C, 0, 0, 0, 0}},
    {0xF4, {0, 0, 0x0E, 0x1B, 0x1B, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18}},
};
// clang-format on

constexpr unsigned char Psf1Magic0 = 0x36, Psf1Magic1 = 0x04;

}  // namespace

CellFont BiosFont(const FontGlyphs& vga) {
  CellFont font;
  for (int c = 0; c < 256; ++c)
    std::copy(vga[static_cast<std::size_t>(c)].begin(), vga[static_cast<std::size_t>(c)].end(),
              font.Rows.begin() + c * CellHeight);
  for (const BiosGlyph& glyph : BiosGlyphs)
    std::copy(glyph.Rows.begin(), glyph.Rows.end(), font.Rows.begin() + glyph.Char * CellHeight);
  return font;
}

std::optional<CellFont> ReadPsfFont(std::string_view bytes) {
  if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != Psf1Magic0 ||
      static_cast<unsigned char>(bytes[1]) != Psf1Magic1)
    return std::nullopt;
  const int height = static_cast<unsigned char>(bytes[3]);
  if (height < 1 || height > 32 || bytes.size() < 4 + 256u * static_cast<unsigned>(height))
    return std::nullopt;
  CellFont font;
  font.Height = height;
  font.Rows.assign(bytes.begin() + 4, bytes.begin() + 4 + 256 * height);
  return font;
}

int CursorFirstRow(int height) { return height >= 14 ? height - 3 : std::max(height - 2, 0); }

}  // namespace screen
