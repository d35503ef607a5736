// How the boot loader moves its cursor on its 80x25 text screen as it writes a display
// file. The one set of layout rules behind every picture of the boot screen the program
// makes: the terminal frame, the screen grid and the checks. Free of I/O.
#pragma once

namespace screen {

constexpr int Columns = 80;
constexpr int Rows = 25;
constexpr int TabWidth = 8;

// The text screen's cursor. Put() lays out one byte and tells `moves` what it does:
//   moves.Cell(row, column, blank)  the byte takes this cell (a tab writes blanks)
//   moves.NextRow(scrolled)         the cursor went to column 0 of the next row; `scrolled`:
//                                   the screen moved up a row and its new last row is blank
//   moves.Back()                    the cursor moved one column left
//   moves.Bell()                    a bell, which takes no cell
class Cursor {
 public:
  // The top-left corner, where a clear leaves the cursor.
  void Home() {
    CurrentRow = 0;
    CurrentColumn = 0;
  }

  int Row() const { return CurrentRow; }
  int Column() const { return CurrentColumn; }

  // Stands on a cell of a grid of another size than the text screen's (the graphical
  // menu's), where these layout rules do not apply.
  void Place(int row, int column) {
    CurrentRow = row;
    CurrentColumn = column;
  }

  template <class Moves>
  void Put(unsigned char byte, Moves& moves) {
    switch (byte) {
      case '\n': NextRow(moves); return;
      case '\r':
        // The boot loader ignores carriage returns; its line feed returns to column 0.
        return;
      case '\t':
        // Blanks in the current colours up to the next multiple of 8, wrapping at the
        // right edge like any character.
        do Advance(moves, true);
        while (CurrentColumn % TabWidth != 0);
        return;
      case '\b':
        // Moves left without erasing; it never leaves the row.
        if (CurrentColumn == 0) return;
        --CurrentColumn;
        moves.Back();
        return;
      case '\a': moves.Bell(); return;
      default: Advance(moves, false);
    }
  }

 private:
  template <class Moves>
  void Advance(Moves& moves, bool blank) {
    moves.Cell(CurrentRow, CurrentColumn, blank);
    // The boot screen wraps as soon as its last column is written, not at the next character.
    if (++CurrentColumn == Columns) NextRow(moves);
  }

  template <class Moves>
  void NextRow(Moves& moves) {
    CurrentColumn = 0;
    const bool scrolls = CurrentRow == Rows - 1;
    if (!scrolls) ++CurrentRow;
    moves.NextRow(scrolls);
  }

  int CurrentRow = 0;
  int CurrentColumn = 0;
};

}  // namespace screen
