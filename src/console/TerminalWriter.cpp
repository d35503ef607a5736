#include "console/TerminalWriter.h"

#include <algorithm>
#include <utility>

#include "console/Sgr.h"

namespace console {

TerminalWriter::TerminalWriter(std::string_view codeset)
    : Table(BuildDisplayTable(codeset)), Glyphs(BuildDisplayTable(codeset, true)) {}

namespace {

// The cursor to a row and column of the screen, counted from 0.
std::string CursorTo(int row, int column) {
  return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

}  // namespace

void TerminalWriter::Cells(const screen::ScreenGrid& grid, bool cursorShown, int rows,
                           int columns) {
  if (CursorShown) Out += "\x1b[?25l";  // no cursor runs across the screen as it is drawn
  CursorShown = false;
  HidCursor = true;
  if (InFrame) Out += "\x1b[r";  // the cells are placed one by one: nothing scrolls
  InFrame = false;
  const int shownRows = std::min(rows, screen::Rows),
            shownColumns = std::min(columns, screen::Columns);
  for (int row = 0; row < shownRows; ++row) {
    int at = -1;  // where the terminal's cursor stands in this row, when it is known
    for (int column = 0; column < shownColumns; ++column) {
      const screen::Cell& cell = grid.At(row, column);
      if (ShownGrid && ShownGrid->At(row, column).Char == cell.Char &&
          ShownGrid->At(row, column).Attr == cell.Attr)
        continue;
      if (at != column) Out += CursorTo(row, column);
      UseAttr(cell.Attr);
      Out += Glyphs[cell.Char];
      at = column + 1;
    }
  }
  ShownGrid = grid;
  ShownGridCursor = cursorShown;
  Out += CursorTo(std::min(grid.CursorRow(), shownRows - 1),
                  std::min(grid.CursorColumn(), shownColumns - 1));
  if (cursorShown) Out += "\x1b[?25h";
  CursorShown = cursorShown;
}

void TerminalWriter::UseAttr(uint16_t attr) {
  // Only the colour bits reach the terminal; a sequence goes out only when they change.
  const int colours = attr & 0xFF;
  if (colours == SentAttr) return;
  const std::string sequence = SgrFor(static_cast<uint16_t>(colours));
  Out += sequence;
  Layout.SetColours(sequence);
  SentAttr = colours;
}

bool TerminalWriter::Redraw(int rows, int columns) {
  if (!ShownGrid) return false;
  const screen::ScreenGrid grid = *ShownGrid;
  ShownGrid.reset();
  Cells(grid, ShownGridCursor, rows, columns);
  return true;
}

void TerminalWriter::Clear(uint16_t attr, bool framed) {
  ShownGrid.reset();
  if (!CursorShown) Out += "\x1b[?25h";
  CursorShown = true;
  UseAttr(attr);
  // The region is set again at every clear: a stop and resume of the program drops it.
  if (framed) Out += FrameLayout::ScrollRegion;
  else if (InFrame) Out += "\x1b[r";
  InFrame = framed;
  Layout.Home();
  if (framed) FrameLayout::Clear(Out);
  else Out += "\x1b[H\x1b[2J";
}

void TerminalWriter::Text(std::string_view bytes, uint16_t attr) {
  if (bytes.empty()) return;
  ShownGrid.reset();
  UseAttr(attr);
  if (InFrame) {
    for (char c : bytes)
      Layout.Put(static_cast<unsigned char>(c), Table[static_cast<unsigned char>(c)], Out);
    return;
  }
  for (char c : bytes) Out += Table[static_cast<unsigned char>(c)];
}

}  // namespace console
