#include "console/TerminalWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace console {
namespace {

#define CSI "\x1b["
#define HOME_AND_CLEAR CSI "H" CSI "2J"
#define REGION CSI "1;25r"
// The frame's 25 rows blanked 80 cells each, and the cursor home.
#define FRAME_CLEAR                                                                           \
  CSI "1;1H" CSI "80X" CSI "2;1H" CSI "80X" CSI "3;1H" CSI "80X" CSI "4;1H" CSI "80X" CSI     \
      "5;1H" CSI "80X" CSI "6;1H" CSI "80X" CSI "7;1H" CSI "80X" CSI "8;1H" CSI "80X" CSI     \
      "9;1H" CSI "80X" CSI "10;1H" CSI "80X" CSI "11;1H" CSI "80X" CSI "12;1H" CSI "80X" CSI  \
      "13;1H" CSI "80X" CSI "14;1H" CSI "80X" CSI "15;1H" CSI "80X" CSI "16;1H" CSI "80X" CSI \
      "17;1H" CSI "80X" CSI "18;1H" CSI "80X" CSI "19;1H" CSI "80X" CSI "20;1H" CSI "80X" CSI \
      "21;1H" CSI "80X" CSI "22;1H" CSI "80X" CSI "23;1H" CSI "80X" CSI "24;1H" CSI "80X" CSI \
      "25;1H" CSI "80X" CSI "H"

std::string Take(TerminalWriter& writer) { return std::exchange(writer.Pending(), ""); }

TEST(TerminalWriter, AFramedClearConfinesScrollingToTheFrameAndStartsItAgain) {
  TerminalWriter writer("UTF-8");
  writer.Clear(0x07, true);
  writer.Text(std::string(79, 'x'), 0x1E);
  writer.Clear(0x1E, true);  // again: a stop and resume drops the region
  EXPECT_EQ(Take(writer), CSI "0;37;40m" REGION FRAME_CLEAR CSI "0;93;44m" + std::string(79, 'x') +
                              REGION FRAME_CLEAR);
  writer.Text(std::string(80, 'x') + "\r\n\x01", 0x1E);
  EXPECT_EQ(Take(writer), std::string(80, 'x') + "\r\n\r\n\u263a");
  // The terminal got smaller: the region goes and the terminal lays the text out again.
  writer.Clear(0x07, false);
  writer.Text(std::string(80, 'x') + "\r\n", 0x07);
  EXPECT_EQ(Take(writer), CSI "0;37;40m" CSI "r" HOME_AND_CLEAR + std::string(80, 'x') + "\r\n");
}

// A whole screen of cells: all of them at first (a row each from its first column), then only
// those that changed, each control byte as its glyph; the cursor hidden while they are drawn.
TEST(TerminalWriter, CellsGoOutWhereTheyChanged) {
  TerminalWriter writer("UTF-8");
  screen::ScreenGrid grid;
  grid.SetTextBackground(1);
  grid.Write("A\n");
  writer.Cells(grid, false, 25, 80);
  std::string first = CSI "?25l";
  for (int row = 0; row < 25; ++row)
    first +=
        CSI + std::to_string(row + 1) + ";1H" +
        (row == 0 ? CSI "0;37;44mA" CSI "0;37;40m" + std::string(79, ' ') : std::string(80, ' '));
  EXPECT_EQ(Take(writer), first + CSI "2;1H");
  screen::ScreenGrid next;
  next.SetTextBackground(1);
  next.Write(
      "A\n\x01"
      "B");
  writer.Cells(next, true, 24, 80);
  EXPECT_EQ(Take(writer), CSI "2;1H" CSI
                              "0;37;44m\u263a"
                              "B" CSI "2;3H" CSI "?25h");
}

}  // namespace
}  // namespace console
