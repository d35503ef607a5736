#include "console/FrameLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

struct LayoutCase {
  const char* Name;
  std::string Bytes;
  std::string Sent;  // what the terminal is sent
  int Row, Column;   // where the frame's cursor ends
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.Name; }

class Layout : public testing::TestWithParam<LayoutCase> {};

// From the top left, each byte shown as itself, except 0x01 as a glyph of three bytes.
TEST_P(Layout, MovesTheCursorAsTheBootScreenDoes) {
  FrameLayout layout;
  std::string sent;
  for (char c : GetParam().Bytes) layout.Put(static_cast<unsigned char>(c), c == 1 ? "\u263a" : std::string(1, c), sent);
  EXPECT_EQ(sent, GetParam().Sent);
  EXPECT_EQ(layout.CursorRow(), GetParam().Row);
  EXPECT_EQ(layout.CursorColumn(), GetParam().Column);
}

const std::string X80(80, 'x'), X76(76, 'x'), Lf24(24, '\n'), Sent24 = [] {
  std::string sent;
  for (int i = 0; i < 24; ++i) sent += "\r\n";
  return sent;
}();

INSTANTIATE_TEST_SUITE_P(
    Bytes, Layout,
    testing::Values(LayoutCase{"LineFeedReturnsToColumnZero", "AB\nC", "AB\r\nC", 1, 1},
                    LayoutCase{"CarriageReturnDoesNothing", "abc\rXY", "abcXY", 0, 5},
                    LayoutCase{"WrapsAtOnceAfterColumn80", X80, X80 + "\r\n", 1, 0},
                    LayoutCase{"LineBreakAfter80LeavesAnEmptyRow", X80 + "\r\n", X80 + "\r\n\r\n", 2, 0},
                    LayoutCase{"TabPaintsBlanksToTheNextStop", "ab\tX", "ab      X", 0, 9},
                    LayoutCase{"TabAtTheEdgeWraps", X76 + "\tY", X76 + "    \r\nY", 1, 1},
                    LayoutCase{"BackspaceMovesLeftWithinTheRow", "abc\b\bX\bZ" + X80.substr(2) + "\b\bP",
                               "abc\b\bX\bZ" + X80.substr(2) + "\r\nP", 1, 1},
                    LayoutCase{"BackspaceStopsAtColumnZero", "\bZ", "Z", 0, 1},
                    LayoutCase{"BellTakesNoCell", "a\ab", "a\ab", 0, 2},
                    LayoutCase{"AGlyphOfSeveralBytesTakesOneCell", std::string(80, 1) + "a",
                               [] { std::string s; for (int i = 0; i < 80; ++i) s += "\u263a"; return s + "\r\na"; }(), 1, 1},
                    // At the bottom the frame scrolls and the new row is blanked; the cursor stays.
                    LayoutCase{"ScrollsAtTheBottom", Lf24 + "\n" + X80, Sent24 + "\r\n\x1b[2K" + X80 + "\r\n\x1b[2K", 24, 0}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace console
