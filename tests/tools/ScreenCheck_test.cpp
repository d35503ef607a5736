#include "tools/ScreenCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "media/MemoryMedium.h"
#include "tools/Check.h"

namespace vestalo::tools {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

Lines Formatted(const std::vector<Finding>& findings) {
  Lines lines;
  for (const auto& finding : findings) lines.push_back(FormatFinding(finding));
  return lines;
}

struct CheckCase {
  const char* Name;
  ScreenRole Role;
  std::string Faulty;  // a screen file with the fault
  Lines Expected;      // what --check says about it
  std::string Sound;   // the same idea without the fault: no finding
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.Name; }

class ScreenChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(ScreenChecks, FindTheFaultAndNothingInTheSoundFile) {
  EXPECT_EQ(Formatted(CheckScreenText("s.txt", GetParam().Faulty, GetParam().Role)),
            GetParam().Expected);
  EXPECT_EQ(Formatted(CheckScreenText("s.txt", GetParam().Sound, GetParam().Role)), Lines{});
}

std::string Rows(int count, const std::string& row) {
  std::string text;
  for (int i = 0; i < count; ++i) text += row;
  return text;
}

const std::string A79(79, 'a'), A80(80, 'a'), A83(83, 'a');

INSTANTIATE_TEST_SUITE_P(
    Faults, ScreenChecks,
    testing::Values(
        CheckCase{"LineThatWraps",
                  ScreenRole::Screen,
                  "\f" + A83 + "\r\n",
                  {"s.txt:1:82: warning: line is 83 columns wide; the boot screen wraps it"},
                  "\f" + A79 + "\r\n"},
        CheckCase{"FullLineAndLineBreak",
                  ScreenRole::Screen,
                  "\f" + A80 + "\r\nb\r\n",
                  {"s.txt:1:82: warning: line fills all 80 columns, so its line break leaves an "
                   "empty row on the boot screen"},
                  "\f" + A79 + "\r\nb\r\n"},
        CheckCase{"TextThatScrolls",
                  ScreenRole::Splash,
                  "\f" + Rows(25, "x\r\n"),
                  {"s.txt:25:3: warning: text needs 26 rows with the boot loader's prompt; its top "
                   "row scrolls off the screen"},
                  "\f" + Rows(24, "x\r\n")},
        CheckCase{"PromptAfterAFullSplash",
                  ScreenRole::Splash,
                  "\f" + Rows(24, "x\r\n") + std::string(78, 'y'),
                  {"s.txt:25:79: warning: text needs 26 rows with the boot loader's prompt; its "
                   "top row scrolls off the screen"},
                  "\f" + Rows(24, "x\r\n") + std::string(73, 'y')},
        CheckCase{"Utf8Text",
                  ScreenRole::Screen,
                  "\fCaf\xc3\xa9 na\xc3\xafve\r\n",
                  {"s.txt:1:5: warning: bytes C3 A9 look like UTF-8 for \"\u00e9\"; the boot "
                   "screen shows code page 437: "
                   "\"\u251c\u2310\" (2 such characters in this line)"},
                  "\fCaf\x82 \xcd\xbb\r\n"},
        CheckCase{"OverlongFormIsNoUtf8",
                  ScreenRole::Screen,
                  "\f\xc3\xa9\r\n",
                  {"s.txt:1:2: warning: bytes C3 A9 look like UTF-8 for \"\u00e9\"; the boot "
                   "screen shows code page 437: "
                   "\"\u251c\u2310\""},
                  "\f\xe0\x80\xa9\r\n"},
        CheckCase{"VerticalTabTakesARow",
                  ScreenRole::Screen,
                  "\f" + Rows(24, "x\r\n") + "\vy",
                  {"s.txt:25:1: warning: control byte 0x0B moves to the next row on the boot "
                   "screen, as a line feed does",
                   "s.txt:25:1: warning: text needs 26 rows; its top row scrolls off the screen"},
                  "\f" + Rows(24, "x\r\n") + "y"},
        CheckCase{"EscapeByte",
                  ScreenRole::Screen,
                  "\fa\x1b[1mb\r\n",
                  {"s.txt:1:3: warning: control byte 0x1B shows as \"[0m\" on the boot screen"},
                  "\fa\tb\bc\r\n"},
        CheckCase{"NulAndBell",
                  ScreenRole::Screen,
                  "\fa\0b\a\r\n"s,
                  {"s.txt:1:3: warning: control byte 0x00 draws nothing on the boot screen",
                   "s.txt:1:5: warning: control byte 0x07 (BEL) draws nothing on the boot screen"},
                  "\fa\x19"
                  "b\r\n"},
        CheckCase{"ColourCodeWithoutHexDigit",
                  ScreenRole::Screen,
                  "\f\x0f"
                  "1zA\r\n",
                  {"s.txt:1:2: warning: colour code has \"z\", which is no hex digit; the boot "
                   "screen drops the code "
                   "with it and keeps its colours"},
                  "\f\x0f"
                  "1EA\r\n"},
        CheckCase{
            "CtrlZBeforeTheEnd",
            ScreenRole::Screen,
            "\fA\r\n\x1a"
            "B\r\n",
            {"s.txt:2:1: warning: ^Z ends the text here; the boot screen shows nothing after it"},
            "\fA\r\n\x1a"},
        CheckCase{"ByteFFBeforeTheEnd",
                  ScreenRole::Screen,
                  "\fA\xff"
                  "B",
                  {"s.txt:1:3: warning: byte 0xFF ends the text here; the boot screen shows "
                   "nothing after it"},
                  "\fA\xfe"
                  "B"},
        CheckCase{"HelpWithoutClear",
                  ScreenRole::Help,
                  "Help\r\n",
                  {"s.txt:1:1: warning: help text starts before any ^L: the boot loader draws it "
                   "below its prompt, on "
                   "what the screen shows"},
                  "\fHelp\r\n"},
        CheckCase{"HelpWithoutFinalLineBreak",
                  ScreenRole::Help,
                  "\fHelp\r\nend",
                  {"s.txt:2:1: warning: last line has no line break: the boot loader's prompt "
                   "takes its row"},
                  "\fHelp\r\nend\r\n"}),
    [](const testing::TestParamInfo<CheckCase>& info) { return info.param.Name; });

// A configuration as a scan reports it, built by hand: the places come from the report.
TEST(CheckReport, NamesMissingFilesAtTheirLinesAndChecksEachScreenOnce) {
  const media::MemoryMedium files(
      {{"isolinux.cfg", ""}, {"splash.txt", "\fSplash\r\n"}, {"f1.txt", "Help\r\n"}}, "cd");
  ConfigurationReport report;
  report.ConfigName = "isolinux.cfg";
  report.Includes.push_back({{"isolinux.cfg", 2, 9}, "more.cfg", false});
  report.Includes.push_back({{"isolinux.cfg", 3, 9}, "there.cfg", true});
  report.Display = {{"isolinux.cfg", 4, 9}, "splash.txt"};
  report.Help[1] = {{"isolinux.cfg", 5, 4}, "f1.txt"};
  report.Help[2] = {{"isolinux.cfg", 6, 4}, "F1.TXT"};
  report.Help[3] = {{"isolinux.cfg", 7, 4}, "help3.txt"};
  EXPECT_EQ(Formatted(CheckReport(files, report)),
            (Lines{"cd:/isolinux.cfg:2:9: error: include file more.cfg is missing",
                   "cd:/f1.txt:1:1: warning: help text starts before any ^L: the boot loader draws "
                   "it below its "
                   "prompt, on what the screen shows",
                   "cd:/isolinux.cfg:7:4: error: F3 file help3.txt is missing"}));
}

}  // namespace
}  // namespace vestalo::tools
