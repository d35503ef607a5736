#include "console/TerminalWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

#define CSI "\x1b["
#define GREY_ON_BLACK CSI "0;37;40m"
#define YELLOW_ON_BLUE CSI "0;93;44m"
#define HOME_AND_CLEAR CSI "H" CSI "2J"
#define REGION CSI "1;25r"

std::string Take(TerminalWriter& writer) {
  std::string sent = writer.Pending();
  writer.Pending().clear();
  return sent;
}

TEST(TerminalWriter, AFramedClearConfinesScrollingToTheFrame) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, true);
  EXPECT_EQ(Take(writer), GREY_ON_BLACK REGION HOME_AND_CLEAR);
  EXPECT_TRUE(writer.Framed());
  // The terminal got smaller: the region goes and the terminal lays the text out again.
  writer.Clear(0x07, false);
  EXPECT_EQ(Take(writer), CSI "r" HOME_AND_CLEAR);
  EXPECT_FALSE(writer.Framed());
  writer.Clear(0x07, false);
  EXPECT_EQ(Take(writer), HOME_AND_CLEAR);
}

TEST(TerminalWriter, FramedTextWrapsAt80AndIgnoresCarriageReturns) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, true);
  Take(writer);
  writer.Text(std::string(80, 'x') + "\r\n\x01", 0x07);
  EXPECT_EQ(Take(writer), std::string(80, 'x') + "\r\n\r\n\u263a");
}

TEST(TerminalWriter, UnframedTextGoesAsTheBytesAre) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, false);
  Take(writer);
  writer.Text(std::string(80, 'x') + "\r\n\x01", 0x07);
  EXPECT_EQ(Take(writer), std::string(80, 'x') + "\r\n\u263a");
}

TEST(TerminalWriter, AScrolledInRowIsBlankedInTheColoursOfTheText) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, true);
  writer.Text(std::string(24, '\n'), 0x07);
  Take(writer);
  writer.Text("\n", 0x1E);
  EXPECT_EQ(Take(writer), YELLOW_ON_BLUE "\r\n" CSI "2K");
}

TEST(TerminalWriter, AClearStartsTheFrameAtTheTopLeftAgain) {
  TerminalWriter writer(BuildDisplayTable("UTF-8"));
  writer.Clear(0x07, true);
  writer.Text(std::string(79, 'x'), 0x07);
  writer.Clear(0x07, true);
  Take(writer);
  writer.Text("ab", 0x07);
  EXPECT_EQ(Take(writer), "ab");
}

}  // namespace
}  // namespace console
