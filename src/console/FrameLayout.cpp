#include "console/FrameLayout.h"

namespace console {

namespace {

// Blanks the row a scroll brought in, in the colours in force (not every terminal fills
// scrolled-in rows with the current background on its own).
constexpr std::string_view EraseRow = "\x1b[2K";

// The cursor's moves as terminal bytes.
struct TerminalMoves {
  std::string_view Glyph;
  std::string& Out;

  void Cell(int, int, bool blank) { Out += blank ? std::string_view(" ") : Glyph; }
  void NextRow(bool scrolled) {
    // CR LF also cancels the terminal's own pending wrap after a write in column 80; at the
    // bottom of the scrolling region it scrolls the frame alone.
    Out += "\r\n";
    if (scrolled) Out += EraseRow;
  }
  void Back() { Out += '\b'; }
  void Bell() { Out += '\a'; }
};

}  // namespace

void FrameLayout::Put(unsigned char byte, std::string_view glyph, std::string& out) {
  TerminalMoves moves{glyph, out};
  Cursor.Put(byte, moves);
}

}  // namespace console
