// The boot screen as the program knows it without a terminal: 80x25 cells of a code page
// 437 byte and a colour attribute, and the cursor, drawn by the renderer with the boot
// loader's layout rules (screen::Cursor).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "UTypes/UTypes.h"
#include "screen/Layout.h"

namespace screen {

// One character cell: the byte the screen shows (as code page 437) and its attribute
// (foreground in bits 0-3, background in bits 4-7).
struct Cell {
  unsigned char Char = ' ';
  uint8_t Attr = 0x07;
};

class ScreenGrid : public UTypes::DisplaySink {
 public:
  // A fresh screen: blanks in light grey on black, the cursor at the top left.
  ScreenGrid();

  void ClearScreen() override;
  void SetTextForeground(uint16_t colour) override;
  void SetTextBackground(uint16_t colour) override;
  void Write(std::string_view bytes) override;

  // The cell at a row (0-24) and column (0-79).
  const Cell& At(int row, int column) const {
    return Cells[static_cast<size_t>(row * Columns + column)];
  }

  int CursorRow() const { return Where.Row(); }
  int CursorColumn() const { return Where.Column(); }

  // Random access for programs that draw a screen cell by cell (the boot menus): a cell
  // outside the screen is left alone, as the loader's screen clips what falls off it.
  void Put(int row, int column, Cell cell) {
    if (row >= 0 && row < Rows && column >= 0 && column < Columns)
      Cells[static_cast<size_t>(row * Columns + column)] = cell;
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
  std::array<Cell, Rows * Columns> Cells;
  Cursor Where;
  uint16_t Attr;
  unsigned char Byte = ' ';  // the byte being laid out
  bool CursorShown = true;
};

}  // namespace screen
