#include "support/GoldenScreens.h"

#include <png.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

#include "support/PcGlyphs.h"

namespace vestalo::testing {

namespace {

constexpr int Rows = 25, Columns = 80;
const std::string Folder = VESTALO_SOURCE_DIR "/tests/fidelity/golden/";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::u32string Decoded(const std::string& utf8) {
  std::u32string text;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    text += c;
    i += length;
  }
  return text;
}

// The PC attribute of each cell from the ECMA-48 colours of an .ans file.
std::vector<int> Attributes(const std::u32string& ansi) {
  constexpr int Pc[8] = {0, 4, 2, 6, 1, 5, 3, 7};  // ECMA-48 order to the PC's: red and blue swap
  std::vector<int> attrs(Rows * Columns, -1);
  int row = 0, column = 0, fg = 7, bg = 0;
  for (size_t i = 0; i < ansi.size(); ++i) {
    if (ansi[i] == U'\x1b') {
      const size_t end = std::min(ansi.find(U'm', i), ansi.size());
      std::istringstream params(std::string(ansi.begin() + static_cast<long>(i) + 2,
                                            ansi.begin() + static_cast<long>(end)));
      for (std::string p; std::getline(params, p, ';');) {
        const int n = p.empty() ? 0 : std::stoi(p);
        if (n / 10 == 3 || n / 10 == 9) fg = Pc[n % 10 & 7] + (n >= 90 ? 8 : 0);
        if (n / 10 == 4 || n / 10 == 10) bg = Pc[n % 10 & 7] + (n >= 100 ? 8 : 0);
      }
      i = end;
    } else if (ansi[i] == U'\n') {
      ++row, column = 0;
    } else if (row < Rows && column < Columns) {
      attrs[row * Columns + column++] = bg << 4 | fg;
    }
  }
  return attrs;
}

std::vector<png_byte> ReadRgb(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
  if (image.width != 720 || image.height != 400 ||
      !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
    return {};
  return pixels;
}

// Where QEMU's VGA BIOS font differs from IBM's VGA font, which the snapshots use: its "0"
// has a bar, not a dot, its "-" is a pixel wider, its "@" a row higher, its "⌠" shorter.
bool QemuDrawsOtherwise(unsigned char byte) {
  return byte == '0' || byte == '-' || byte == '@' || byte == 0xF4;
}

}  // namespace

bool GoldenScreen::Skipped(int row, int column, const std::vector<int>& masks) const {
  for (size_t i = 0; i + 2 < masks.size(); i += 3)
    if (masks[i] == row && column >= masks[i + 1] && column < masks[i + 1] + masks[i + 2])
      return true;
  return row == PromptRow;
}

bool IsMenuGolden(const std::string& name) { return name.find('/') != std::string::npos; }

GoldenScreen ReadGolden(const std::string& name) {
  if (IsMenuGolden(name)) {
    // The menu suite's dumps: the cells alone; the menu draws its own prompt, if any.
    GoldenScreen screen{Slurp(VESTALO_SOURCE_DIR "/" + name + ".bin")};
    if (screen.Cells.size() != Rows * Columns * 2) screen.Cells.clear();
    return screen;
  }
  GoldenScreen screen{Slurp(Folder + name + ".bin")};
  std::ifstream cursors(Folder + "cursors.txt");
  std::string entry;
  int row = -1, column = 0;
  while (cursors >> entry >> row >> column)
    if (entry == name) screen.PromptRow = row;
  if (screen.Cells.size() != Rows * Columns * 2 || screen.PromptRow < 0) screen.Cells.clear();
  return screen;
}

std::vector<std::string> SnapshotDifferences(const std::string& base, const std::string& name,
                                             const std::vector<int>& masks) {
  const GoldenScreen golden = ReadGolden(name);
  // The menu suite keeps no pictures: a menu's snapshot is compared cell for cell.
  const bool pictures = !IsMenuGolden(name);
  const auto ours = ReadRgb(base + ".png");
  const auto theirs = pictures ? ReadRgb(Folder + name + ".png") : ours;
  if (golden.Cells.empty() || ours.empty() || theirs.empty())
    return {"no snapshot or golden screen for " + name};
  std::vector<std::u32string> text;
  std::istringstream lines(Slurp(base + ".txt"));
  for (std::string line; std::getline(lines, line);)
    text.push_back(Decoded(line) + std::u32string(Columns, U' '));
  text.resize(Rows, std::u32string(Columns, U' '));
  const std::vector<int> attrs = Attributes(Decoded(Slurp(base + ".ans")));
  std::vector<std::string> found;
  long compared = 0, matching = 0, cells = 0;
  for (int row = 0; row < Rows; ++row) {
    for (int column = 0; column < Columns; ++column) {
      if (golden.Skipped(row, column, masks)) continue;
      const unsigned char byte = golden.Char(row, column);
      const std::string where =
          name + " row " + std::to_string(row) + " column " + std::to_string(column);
      if (text[row][column] != PcGlyphs()[byte] ||
          attrs[row * Columns + column] != golden.Attr(row, column))
        found.push_back(where + ": not the boot screen's character or colours");
      int differentPixels = 0;
      ++cells;
      if (!pictures) continue;
      for (int y = row * 16; y < row * 16 + 16; ++y)
        for (int x = column * 9; x < column * 9 + 9; ++x) {
          const size_t at = static_cast<size_t>((y * 720 + x) * 3);
          differentPixels += !std::equal(&ours[at], &ours[at] + 3, &theirs[at]);
        }
      compared += 144, matching += 144 - differentPixels;
      if (differentPixels != 0 && !QemuDrawsOtherwise(byte))
        found.push_back(where + ": " + std::to_string(differentPixels) + " pixels differ");
    }
  }
  std::cout << name << ": " << cells << " cells compared, " << matching << " of " << compared
            << " pixels match\n";
  return found;
}

}  // namespace vestalo::testing
