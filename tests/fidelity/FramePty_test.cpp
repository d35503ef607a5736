// The boot screen's 80x25 frame on terminals of other sizes: a larger terminal keeps the
// frame at its top left and the rest of its screen still; a smaller one lays text out itself.
#include <signal.h>

#include <gtest/gtest.h>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

#define SCROLL_REGION CSI "1;25r"
#define RELEASE_REGION ESC "7" CSI "r" ESC "8"

std::string ThirtyRowsAndALongLine() {
  std::string text = "\x0c";
  for (int row = 0; row < 30; ++row) text += "row " + std::string(row < 10 ? "0" : "") + std::to_string(row) + "\r\n";
  return text + std::string(85, 'x');
}

PtyOptions Sized(const TempFolder& folder, int rows, int columns) {
  PtyOptions options;
  options.Arguments = {"screen.txt"};
  options.Directory = folder.Path();
  options.Rows = rows;
  options.Columns = columns;
  return options;
}

TEST(Frame, ALargerTerminalScrollsOnlyTheFrameAndWrapsAt80) {
  TempFolder folder;
  folder.Write("screen.txt", ThirtyRowsAndALongLine());
  PtyProgram program(Sized(folder, 30, 100));
  ASSERT_TRUE(program.WaitUntil([&] { return program.RowText(24) == "xxxxx"; }));
  // 31 rows of text in a 25-row frame: the first seven have scrolled out of it.
  EXPECT_EQ(program.RowText(0), "row 07");
  EXPECT_EQ(program.RowText(22), "row 29");
  EXPECT_EQ(program.RowText(23), std::string(80, 'x'));
  for (int row = 25; row < 30; ++row) EXPECT_EQ(program.RowText(row), "") << row;
  EXPECT_EQ(program.CursorRow(), 24);
  EXPECT_EQ(program.CursorColumn(), 5);
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  // The whole screen scrolls again once the program has gone.
  const std::string& output = program.Output();
  EXPECT_NE(output.rfind(RELEASE_REGION), std::string::npos);
  EXPECT_GT(output.rfind(RELEASE_REGION), output.rfind(SCROLL_REGION));
}

TEST(Frame, ASmallerTerminalLaysTheTextOutItself) {
  TempFolder folder;
  folder.Write("screen.txt", "\x0c" + std::string(80, 'x') + "\r\nnext");
  PtyProgram program(Sized(folder, 24, 79));
  ASSERT_TRUE(program.WaitForText("next"));
  EXPECT_EQ(program.RowText(0), std::string(79, 'x'));
  EXPECT_EQ(program.RowText(1), "x");
  EXPECT_EQ(program.RowText(2), "next");
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.Output().find(SCROLL_REGION), std::string::npos);
  EXPECT_EQ(program.Output().find(RELEASE_REGION), std::string::npos);
}

TEST(Frame, SignalsReleaseTheScrollingRegionToo) {
  TempFolder folder;
  folder.Write("screen.txt", "\x0c" "drawn");
  PtyProgram program(Sized(folder, 25, 80));
  ASSERT_TRUE(program.WaitForText("drawn"));
  program.SendSignal(SIGTERM);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_NE(program.Output().rfind(RELEASE_REGION), std::string::npos);
}

}  // namespace
}  // namespace vestalo::testing
