#include "screen/ScreenGrid.h"

#include <algorithm>

#include "screen/Attribute.h"

namespace screen {

// The cursor's moves as cells of the grid.
struct GridMoves {
  ScreenGrid& Grid;

  void Cell(int row, int column, bool blank) {
    Grid.Put(
        row, column,
        {blank ? static_cast<unsigned char>(' ') : Grid.Byte, static_cast<uint8_t>(Grid.Attr)});
  }
  void NextRow(bool scrolled) {
    if (!scrolled) return;
    // The rows move up; the new last row is blank in the colours in force, as on the PC.
    const auto width = static_cast<std::ptrdiff_t>(Grid.Width);
    std::copy(Grid.Cells.begin() + width, Grid.Cells.end(), Grid.Cells.begin());
    std::fill(Grid.Cells.end() - width, Grid.Cells.end(),
              screen::Cell{' ', static_cast<uint8_t>(Grid.Attr)});
  }
  void Back() {}
  void Bell() {}
};

ScreenGrid::ScreenGrid(int rows, int columns)
    : Height(std::max(rows, 1)),
      Width(std::max(columns, 1)),
      Cells(static_cast<size_t>(Height * Width), Cell{' ', screen::StartAttr}),
      Attr(screen::StartAttr) {}

void ScreenGrid::ClearScreen() {
  std::fill(Cells.begin(), Cells.end(), Cell{' ', static_cast<uint8_t>(Attr)});
  Where.Home();
}

void ScreenGrid::MoveCursor(int row, int column) {
  Where = Cursor();
  row = std::clamp(row, 0, Height - 1);
  column = std::clamp(column, 0, Width - 1);
  if (Height != Rows || Width != Columns) {
    Where.Place(row, column);
    return;
  }
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
