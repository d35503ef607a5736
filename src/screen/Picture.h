// The text screen as the PC's VGA shows it in its 720x400 text mode: 9x16 pixel cells drawn
// with an 8x16 font, the VGA's sixteen colours, bright backgrounds instead of blinking.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "screen/ScreenGrid.h"

namespace screen {

constexpr int CellWidth = 9;
constexpr int CellHeight = 16;
constexpr int PictureWidth = Columns * CellWidth;
constexpr int PictureHeight = Rows * CellHeight;

// The pixel rows of each code page 437 character: bit 7 is the leftmost of 8 pixels.
using FontGlyphs = std::array<std::array<uint8_t, CellHeight>, 256>;

struct Rgb {
  uint8_t Red, Green, Blue;
};

// The VGA's sixteen text colours, in the attribute's numbering (0 black, 1 blue, 14 yellow).
extern const std::array<Rgb, 16> VgaPalette;

// The colour as HTML writes it: #rrggbb.
std::string HtmlColour(int colour);

// The screen's pixels, row by row, each a colour number 0-15 (an index into VgaPalette).
std::vector<uint8_t> DrawPicture(const ScreenGrid& grid, const FontGlyphs& glyphs);

}  // namespace screen
