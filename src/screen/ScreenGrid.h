// The boot screen as the program knows it without a terminal: 80x25 cells of a code page
// 437 byte and a colour attribute, and the cursor, drawn by the renderer with the boot
// loader's layout rules (screen::Cursor). The graphical menu's screen is a grid of another
// size (78x29 cells at 640x480), drawn cell by cell.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "UTypes/UTypes.h"
#include "screen/Layout.h"

namespace screen {

// One character cell: the byte the screen shows (as code page 437) and its attribute
// (foreground in bits 0-3, background in bits 4-7), and for the graphical menu the element
// of its colours (a number the menu gives; -1: none).
struct Cell {
  unsigned char Char = ' ';
  uint8_t Attr = 0x07;
  int16_t Element = -1;
};

class ScreenGrid : public UTypes::DisplaySink {
 public:
  // A fresh screen: blanks in light grey on black, the cursor at the top left. Write lays
  // bytes out by the 80x25 screen's rules; a grid of another size is drawn with Put.
  explicit ScreenGrid(int rows = Rows, int columns = Columns);

  void ClearScreen() override;
  void SetTextForeground(uint16_t colour) override;
  void SetTextBackground(uint16_t colour) override;
  void Write(std::string_view bytes) override;

  // The cell at a row (0-24) and column (0-79), or as far as the grid reaches.
  const Cell& At(int row, int column) const {
    return Cells[static_cast<size_t>(row * Width + column)];
  }
  int RowCount() const { return Height; }
  int ColumnCount() const { return Width; }

  int CursorRow() const { return Where.Row(); }
  int CursorColumn() const { return Where.Column(); }

  // Random access for programs that draw a screen cell by cell (the boot menus): a cell
  // outside the screen is left alone, as the loader's screen clips what falls off it.
  void Put(int row, int column, Cell cell) {
    if (row >= 0 && row < Height && column >= 0 && column < Width)
      Cells[static_cast<size_t>(row * Width + column)] = cell;
  }
  // Moves the cursor (clamped to the screen) without drawing; Write goes on from there.
  void MoveCursor(int row, int column);
  // The attribute that Write and ClearScreen use next.
  void SetAttribute(uint8_t attr) { Attr = attr; }
  uint8_t Attribute() const { return static_cast<uint8_t>(Attr); }
  // Whether the hardware cursor shows: the boot menus switch it off and on.
  void ShowCursor(bool shows) { CursorShown = shows; }
  bool CursorShows() const { return CursorShown; }

 private:
  friend struct GridMoves;
  int Height, Width;
  std::vector<Cell> Cells;
  Cursor Where;
  uint16_t Attr;
  unsigned char Byte = ' ';  // the byte being laid out
  bool CursorShown = true;
};

}  // namespace screen
