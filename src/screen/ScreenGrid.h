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

 private:
  friend struct GridMoves;
  std::array<Cell, Rows * Columns> Cells;
  Cursor Where;
  uint16_t Attr;
  unsigned char Byte = ' ';  // the byte being laid out
};

}  // namespace screen
