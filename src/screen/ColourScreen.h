// A graphical screen as the program hands it on: its picture, pixel for pixel, and the grid
// of its text cells in 24-bit colours, for the terminals that show one or the other.
#pragma once

#include <cstdint>
#include <functional>
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

// Gives row `row` of `cells` its colours, waiting until they are known; rows are filled top
// to bottom. False when the colours of the rows filled before have changed since: they must
// be filled again.
using ColourRowFill = std::function<bool(ColourGrid& cells, int row)>;

// A grid of cells whose colours are still being worked out: the characters and cursor are
// there, each row's colours come from FillRow. Without FillRow the cells are whole.
struct ColourGridComing {
  ColourGrid Cells;
  ColourRowFill FillRow;
};

// Fills every row of `cells`, and all of them again where the colours of the rows filled
// first changed while later ones were.
inline void FillAllRows(ColourGrid& cells, const ColourRowFill& fillRow) {
  if (!fillRow) return;
  bool changed = false;
  for (int row = 0; row < cells.Rows; ++row)
    if (!fillRow(cells, row)) changed = true;
  for (int row = 0; changed && row < cells.Rows; ++row) fillRow(cells, row);
}

// What a graphical screen is made of.
struct GraphicalScreen {
  RgbImage Picture;
  ColourGrid Cells;
};

}  // namespace screen
