#include "console/FrameLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

#define CSI "\x1b["

struct LayoutCase {
  const char* Name;
  std::string Bytes;
  std::string Sent;  // what the terminal is sent
  int Row, Column;   // where the frame's cursor ends
};

// Lays the bytes out from the top left, each byte shown as itself.
LayoutCase LayOut(const std::string& bytes, FrameLayout& layout) {
  LayoutCase result{"", bytes, "", 0, 0};
  for (char c : bytes) layout.Put(static_cast<unsigned char>(c), std::string(1, c), result.Sent);
  result.Row = layout.CursorRow();
  result.Column = layout.CursorColumn();
  return result;
}

class Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, MovesTheCursorAsTheBootScreenDoes) {
  FrameLayout layout;
  layout.Home();
  const LayoutCase got = LayOut(GetParam().Bytes, layout);
  EXPECT_EQ(got.Sent, GetParam().Sent);
  EXPECT_EQ(got.Row, GetParam().Row);
  EXPECT_EQ(got.Column, GetParam().Column);
}

const std::string X80(80, 'x');
const std::string X76(76, 'x');

INSTANTIATE_TEST_SUITE_P(
    Bytes, Layout,
    testing::Values(
        LayoutCase{"PlainText", "AB", "AB", 0, 2},
        LayoutCase{"LineFeedReturnsToColumnZero", "AB\nC", "AB\r\nC", 1, 1},
        LayoutCase{"CarriageReturnDoesNothing", "abc\rXY", "abcXY", 0, 5},
        LayoutCase{"CrLfIsOneLineBreak", "a\r\nb", "a\r\nb", 1, 1},
        LayoutCase{"WrapsAtOnceAfterColumn80", X80, X80 + "\r\n", 1, 0},
        LayoutCase{"LineBreakAfter80LeavesAnEmptyRow", X80 + "\r\n", X80 + "\r\n\r\n", 2, 0},
        LayoutCase{"TabPaintsBlanksToTheNextStop", "ab\tX", "ab      X", 0, 9},
        LayoutCase{"TabAtColumnZeroGoesToEight", "\t", "        ", 0, 8},
        LayoutCase{"TabAtTheEdgeWraps", X76 + "\tY", X76 + "    \r\nY", 1, 1},
        LayoutCase{"BackspaceMovesLeft", "abc\b\bX", "abc\b\bX", 0, 2},
        LayoutCase{"BackspaceStopsAtColumnZero", "\bZ", "Z", 0, 1},
        LayoutCase{"BackspaceNeverReturnsToTheRowAbove", X80 + "\bP", X80 + "\r\nP", 1, 1},
        LayoutCase{"BellTakesNoCell", "a\ab", "a\ab", 0, 2}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.Name; });

TEST(Layout, ScrollsAtTheBottomAndBlanksTheNewRow) {
  FrameLayout layout;
  layout.Home();
  LayOut(std::string(24, '\n'), layout);
  ASSERT_EQ(layout.CursorRow(), 24);
  // A line feed or a wrap in the last row scrolls the frame; the cursor stays in that row.
  EXPECT_EQ(LayOut("\n", layout).Sent, "\r\n" CSI "2K");
  EXPECT_EQ(LayOut(X80, layout).Sent, X80 + "\r\n" CSI "2K");
  EXPECT_EQ(layout.CursorRow(), 24);
  EXPECT_EQ(layout.CursorColumn(), 0);
}

TEST(Layout, AGlyphOfSeveralBytesTakesOneColumn) {
  FrameLayout layout;
  layout.Home();
  std::string sent;
  for (int i = 0; i < 80; ++i) layout.Put(0x01, "\u263a", sent);
  EXPECT_EQ(layout.CursorRow(), 1);
  EXPECT_EQ(layout.CursorColumn(), 0);
}

TEST(Layout, HomeStartsAgainAtTheTopLeft) {
  FrameLayout layout;
  layout.Home();
  LayOut("abc\n\ndef", layout);
  layout.Home();
  EXPECT_EQ(layout.CursorRow(), 0);
  EXPECT_EQ(layout.CursorColumn(), 0);
}

}  // namespace
}  // namespace console
