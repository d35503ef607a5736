#include "console/TerminalWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace console {
namespace {

#define CSI "\x1b["
#define HOME_AND_CLEAR CSI "H" CSI "2J"
#define REGION CSI "1;25r"

std::string Take(TerminalWriter& writer) { return std::exchange(writer.Pending(), ""); }

TEST(TerminalWriter, AFramedClearConfinesScrollingToTheFrameAndStartsItAgain) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, true);
  writer.Text(std::string(79, 'x'), 0x1E);
  writer.Clear(0x1E, true);  // again: a stop and resume drops the region
  EXPECT_EQ(Take(writer), CSI "0;37;40m" REGION HOME_AND_CLEAR CSI "0;93;44m" +
                              std::string(79, 'x') + REGION HOME_AND_CLEAR);
  writer.Text(std::string(80, 'x') + "\r\n\x01", 0x1E);
  EXPECT_EQ(Take(writer), std::string(80, 'x') + "\r\n\r\n\u263a");
  // The terminal got smaller: the region goes and the terminal lays the text out again.
  writer.Clear(0x07, false);
  writer.Text(std::string(80, 'x') + "\r\n", 0x07);
  EXPECT_EQ(Take(writer), CSI "0;37;40m" CSI "r" HOME_AND_CLEAR + std::string(80, 'x') + "\r\n");
}

}  // namespace
}  // namespace console
