#include "console/FrameLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

const std::string X80(80, 'x'), X76(76, 'x');

// From the top left, each byte shown as itself but 0x01, whose glyph takes three bytes: what
// the terminal is sent, and the row and column where the frame's cursor ends.
TEST(Layout, MovesTheCursorAsTheBootScreenDoes) {
  std::string smileys, lineFeeds(24, '\n'), breaks;
  for (int i = 0; i < 80; ++i) smileys += "\u263a";
  for (int i = 0; i < 24; ++i) breaks += "\r\n";
  // clang-format off
  const struct {
    const char* Name;
    std::string Bytes, Sent;
    int Row, Column;
  } cases[] = {
      {"CarriageReturnDoesNothing", "abc\rXY", "abcXY", 0, 5},
      {"WrapsAtOnceAfterColumn80", X80, X80 + "\r\n", 1, 0},
      {"LineBreakAfter80LeavesAnEmptyRow", X80 + "\r\n", X80 + "\r\n\r\n", 2, 0},
      {"TabPaintsBlanksToTheNextStop", "ab\tX", "ab      X", 0, 9},
      {"TabAtTheEdgeWraps", X76 + "\tY", X76 + "    \r\nY", 1, 1},
      {"BackspaceMovesLeftWithinTheRow", "abc\b\bX\bZ" + X80.substr(2) + "\b\bP", "abc\b\bX\bZ" + X80.substr(2) + "\r\nP", 1, 1},
      {"BackspaceStopsAtColumnZero", "\bZ", "Z", 0, 1},
      {"AGlyphOfSeveralBytesTakesOneCell", std::string(80, 1) + "a", smileys + "\r\na", 1, 1},
      // At the bottom the frame scrolls and the new row is blanked, its frame's width in the
      // colours in force (here none set), the rest in the terminal's own; the cursor stays.
      {"ScrollsAtTheBottom", lineFeeds + "\n" + X80, breaks + "\x1b[0m\r\n\x1b[80X" + X80 + "\x1b[0m\r\n\x1b[80X", 24, 0}};
  // clang-format on
  for (const auto& c : cases) {
    FrameLayout layout;
    std::string sent;
    for (char byte : c.Bytes)
      layout.Put(static_cast<unsigned char>(byte), byte == 1 ? "\u263a" : std::string(1, byte),
                 sent);
    EXPECT_EQ(sent, c.Sent) << c.Name;
    EXPECT_EQ(layout.CursorRow(), c.Row) << c.Name;
    EXPECT_EQ(layout.CursorColumn(), c.Column) << c.Name;
  }
}

}  // namespace
}  // namespace console
