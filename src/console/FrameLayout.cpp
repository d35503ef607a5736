#include "console/FrameLayout.h"

namespace console {

namespace {

// Blanks the frame's width of the cursor's row in the colours in force; the terminal's cells
// to the right of the frame keep theirs.
constexpr std::string_view EraseFrameRow = "\x1b[80X";

// Back to the terminal's own colours, so that a row a scroll brings in is blanked in them.
constexpr std::string_view OwnColours = "\x1b[0m";

// The cursor's moves as terminal bytes.
struct TerminalMoves {
  std::string_view Glyph;
  std::string_view Colours;
  std::string& Out;

  void Cell(int, int, bool blank) {
    if (blank) Out += ' ';
    else if (Glyph.size() == 1) Out += Glyph[0];
    else Out.append(Glyph);
  }
  void NextRow(bool scrolled) {
    // CR LF also cancels the terminal's own pending wrap after a write in column 80; at the
    // bottom of the scrolling region it scrolls the frame alone. Not every terminal fills
    // a scrolled-in row with the current background, and those that do fill all of it.
    if (!scrolled) {
      Out += "\r\n";
      return;
    }
    Out.append(OwnColours).append("\r\n").append(Colours).append(EraseFrameRow);
  }
  void Back() { Out += '\b'; }
  void Bell() { Out += '\a'; }
};

}  // namespace

void FrameLayout::Clear(std::string& out) {
  for (int row = 1; row <= Rows; ++row)
    out.append("\x1b[").append(std::to_string(row)).append(";1H").append(EraseFrameRow);
  out += "\x1b[H";
}

void FrameLayout::Put(unsigned char byte, std::string_view glyph, std::string& out) {
  TerminalMoves moves{glyph, Colours, out};
  Cursor.Put(byte, moves);
}

void FrameLayout::PutAll(std::string_view bytes, const std::string* glyphs, std::string& out) {
  out.reserve(out.size() + 2 * bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    TerminalMoves moves{glyphs[byte], Colours, out};
    Cursor.Put(byte, moves);
  }
}

}  // namespace console
