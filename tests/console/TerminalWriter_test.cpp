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

// PC colours (1 blue, 4 red, 8 dark grey) in ECMA-48's order (1 red, 4 blue), bright ones
// as 90-97 and 100-107; a sequence only when the colours change.
TEST(TerminalWriter, ColoursGoOutInTheTerminalsOrderWhenTheyChange) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  const std::pair<uint16_t, const char*> cases[] = {{0x07, CSI "0;37;40m"}, {0x8F07, ""},  // bits above 7 are no colour
                                                    {0x1E, CSI "0;93;44m"}, {0x4C, CSI "0;91;41m"},
                                                    {0x78, CSI "0;90;47m"}, {0xF8, CSI "0;90;107m"}};
  for (const auto& [attr, sent] : cases) {
    writer.Text("x", attr);
    EXPECT_EQ(Take(writer), sent + std::string("x")) << std::hex << attr;
  }
}

TEST(TerminalWriter, AFramedClearConfinesScrollingToTheFrameAndStartsItAgain) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, true);
  writer.Text(std::string(79, 'x'), 0x1E);
  writer.Clear(0x1E, true);  // again: a stop and resume drops the region
  EXPECT_EQ(Take(writer), CSI "0;37;40m" REGION HOME_AND_CLEAR CSI "0;93;44m" + std::string(79, 'x') +
                              REGION HOME_AND_CLEAR);
  writer.Text(std::string(80, 'x') + "\r\n\x01", 0x1E);
  EXPECT_EQ(Take(writer), std::string(80, 'x') + "\r\n\r\n\u263a");
  // The terminal got smaller: the region goes and the terminal lays the text out again.
  writer.Clear(0x07, false);
  writer.Text(std::string(80, 'x') + "\r\n", 0x07);
  EXPECT_EQ(Take(writer), CSI "0;37;40m" CSI "r" HOME_AND_CLEAR + std::string(80, 'x') + "\r\n");
}

}  // namespace
}  // namespace console
