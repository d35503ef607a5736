#include "screen/ScreenGrid.h"

#include <algorithm>

#include "screen/Attribute.h"

namespace screen {

// The cursor's moves as cells of the grid.
struct GridMoves {
  ScreenGrid& Grid;

  void Cell(int row, int column, bool blank) {
    Grid.Cells[static_cast<size_t>(row * Columns + column)] = {
        blank ? static_cast<unsigned char>(' ') : Grid.Byte, static_cast<uint8_t>(Grid.Attr)};
  }
  void NextRow(bool scrolled) {
    if (!scrolled) return;
    // The rows move up; the new last row is blank in the colours in force, as on the PC.
    std::copy(Grid.Cells.begin() + Columns, Grid.Cells.end(), Grid.Cells.begin());
    std::fill(Grid.Cells.end() - Columns, Grid.Cells.end(),
              screen::Cell{' ', static_cast<uint8_t>(Grid.Attr)});
  }
  void Back() {}
  void Bell() {}
};

ScreenGrid::ScreenGrid() : Attr(screen::StartAttr) { Cells.fill(Cell{' ', screen::StartAttr}); }

void ScreenGrid::ClearScreen() {
  Cells.fill(Cell{' ', static_cast<uint8_t>(Attr)});
  Where.Home();
}

void ScreenGrid::MoveCursor(int row, int column) {
  Where = Cursor();
  row = std::clamp(row, 0, Rows - 1);
  column = std::clamp(column, 0, Columns - 1);
  // The cursor's own moves: down by line feeds from the top (never scrolling), then right.
  struct Silent {
    void Cell(int, int, bool) {}
    void NextRow(bool) {}
    void Back() {}
    void Bell() {}
  } silent;
  for (int i = 0; i < row; ++i) Where.Put('\n', silent);
  for (int i = 0; i < column; ++i) Where.Put(' ', silent);
}

void ScreenGrid::SetTextForeground(uint16_t colour) { Attr = screen::WithForeground(Attr, colour); }

void ScreenGrid::SetTextBackground(uint16_t colour) { Attr = screen::WithBackground(Attr, colour); }

void ScreenGrid::Write(std::string_view bytes) {
  GridMoves moves{*this};
  for (char c : bytes) {
    Byte = static_cast<unsigned char>(c);
    Where.Put(Byte, moves);
  }
}

}  // namespace screen
