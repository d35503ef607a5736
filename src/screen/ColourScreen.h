// A graphical screen as the program hands it on: its picture, pixel for pixel, and the grid
// of its text cells in 24-bit colours, for the terminals that show one or the other.
#pragma once

#include <cstdint>
#include <vector>

namespace screen {

struct Colour {
  uint8_t Red = 0, Green = 0, Blue = 0;
  bool operator==(const Colour&) const = default;
};

// Pixels row by row, Width x Height.
struct RgbImage {
  int Width = 0, Height = 0;
  std::vector<Colour> Pixels;

  Colour& At(int x, int y) { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
  const Colour& At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
};

// One text cell: its code page 437 byte and its colours as the screen shows them (the
// element's colours blended over the picture under the cell).
struct ColourCell {
  unsigned char Char = ' ';
  Colour Foreground{170, 170, 170};
  Colour Background{0, 0, 0};
  bool operator==(const ColourCell&) const = default;
};

// The text cells of a graphical screen, Rows x Columns, and its cursor. A cell is 8 pixels
// wide and CellHeight pixels high in the picture (the font's height).
struct ColourGrid {
  int Rows = 0, Columns = 0;
  int CellHeight = 16;
  std::vector<ColourCell> Cells;
  int CursorRow = 0, CursorColumn = 0;
  bool CursorShows = false;

  ColourCell& At(int row, int column) {
    return Cells[static_cast<std::size_t>(row * Columns + column)];
  }
  const ColourCell& At(int row, int column) const {
    return Cells[static_cast<std::size_t>(row * Columns + column)];
  }
};

// What a graphical screen is made of.
struct GraphicalScreen {
  RgbImage Picture;
  ColourGrid Cells;
};

}  // namespace screen
