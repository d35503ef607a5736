// The glyphs the graphical menu draws its cells with: 8 pixels wide and of any height,
// the VGA BIOS's 8x16 font or a FONT line's PSF file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "screen/Picture.h"

namespace screen {

struct CellFont {
  int Height = 16;
  std::vector<uint8_t> Rows = std::vector<uint8_t>(256 * 16);  // 256 glyphs of Height rows

  // A glyph's row: bit 7 is the leftmost pixel.
  uint8_t Row(unsigned char c, int row) const {
    return Rows[static_cast<std::size_t>(c * Height + row)];
  }
};

// The font of QEMU's VGA BIOS, which the loader's graphical menu uses: the console's VGA
// font with the four glyphs in which that BIOS draws otherwise (-, 0, @ and 0xF4).
CellFont BiosFont(const FontGlyphs& vga);

// A PSF (version 1) font file's first 256 glyphs; none when the bytes are no such font.
std::optional<CellFont> ReadPsfFont(std::string_view bytes);

// The first of the two pixel rows the graphical menu's cursor takes in a cell of this
// height (rows 13-14 of 16, 11-12 of 14, 6-7 of 8, as the loader drew them).
int CursorFirstRow(int height);

}  // namespace screen
