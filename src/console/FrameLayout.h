// Lays screen bytes out in an 80x25 frame at a terminal's top left the way the boot loader
// moves its cursor on the text screen (screen::Cursor), turning each move into terminal
// bytes. Free of I/O: it appends terminal bytes to a string.
#pragma once

#include <string>
#include <string_view>

#include "screen/Layout.h"

namespace console {

class FrameLayout {
 public:
  static constexpr int Columns = screen::Columns;
  static constexpr int Rows = screen::Rows;

  // The bytes that confine the terminal's scrolling to the frame's rows; they home the cursor.
  static constexpr std::string_view ScrollRegion = "\x1b[1;25r";

  // Sent as the program leaves: the whole screen scrolls again, the cursor stays where it is.
  // ESC 7 saves the cursor, CSI r lets the whole screen scroll, ESC 8 puts the cursor back.
  static constexpr const char* ReleaseRegion = "\0337\033[r\0338";

  // The cursor is at the frame's top-left corner, where a clear leaves it.
  void Home() { Cursor.Home(); }

  // Appends what blanks the frame's cells in the colours in force and homes the cursor;
  // the rest of a larger terminal keeps what it shows.
  static void Clear(std::string& out);

  // The colour sequence in force, sent again after a scroll: the row a scroll brings in is
  // blanked in the terminal's own colours first, so that no colour spills past the frame.
  void SetColours(std::string_view sequence) { Colours.assign(sequence); }

  // Appends what lays out one screen byte; `glyph` is how the terminal shows the byte
  // (the byte itself for the control bytes the terminal may act on).
  void Put(unsigned char byte, std::string_view glyph, std::string& out);
  // Lays out each byte of `bytes` as Put does, its glyph taken from `glyphs` (by byte value).
  void PutAll(std::string_view bytes, const std::string* glyphs, std::string& out);

  int CursorRow() const { return Cursor.Row(); }
  int CursorColumn() const { return Cursor.Column(); }

 private:
  screen::Cursor Cursor;
  std::string Colours;
};

}  // namespace console
