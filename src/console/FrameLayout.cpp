#include "console/FrameLayout.h"

namespace console {

namespace {

constexpr int TabWidth = 8;

// Blanks the row a scroll brought in, in the colours in force (not every terminal fills
// scrolled-in rows with the current background on its own).
constexpr std::string_view EraseRow = "\x1b[2K";

}  // namespace

void FrameLayout::Home() {
  Row = 0;
  Column = 0;
}

void FrameLayout::NextRow(std::string& out) {
  // CR LF also cancels the terminal's own pending wrap after a write in column 80.
  out += "\r\n";
  Column = 0;
  if (Row < Rows - 1) {
    ++Row;
    return;
  }
  out += EraseRow;
}

void FrameLayout::Advance(std::string_view glyph, std::string& out) {
  out += glyph;
  // The boot screen wraps as soon as its last column is written, not at the next character.
  if (++Column == Columns) NextRow(out);
}

void FrameLayout::Put(unsigned char byte, std::string_view glyph, std::string& out) {
  switch (byte) {
    case '\n':
      NextRow(out);
      return;
    case '\r':
      // The boot loader ignores carriage returns; its line feed returns to column 0.
      return;
    case '\t':
      // A tab writes blanks in the current colours up to the next multiple of 8, wrapping
      // at the right edge like any character.
      do Advance(" ", out);
      while (Column % TabWidth != 0);
      return;
    case '\b':
      // Moves left without erasing; it never leaves the row.
      if (Column == 0) return;
      --Column;
      out += '\b';
      return;
    case '\a':
      out += '\a';
      return;
    default:
      Advance(glyph, out);
  }
}

}  // namespace console
