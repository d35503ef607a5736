#include "UTypes/UTypes.h"

#include <gtest/gtest.h>

#include <string>

namespace UTypes {
namespace {

// Records what the renderer asks for, one readable token per call.
class RecordingSink : public DisplaySink {
 public:
  void ClearScreen() override { Log += "<clear>"; }
  void SetTextForeground(uint16_t colour) override { Log += "<fg " + std::to_string(colour) + ">"; }
  void SetTextBackground(uint16_t colour) override { Log += "<bg " + std::to_string(colour) + ">"; }
  void Write(std::string_view bytes) override { Log += bytes; }
  std::string Log;
};

std::string Render(std::string_view text) {
  RecordingSink sink;
  RenderDisplayText(text, sink);
  return sink.Log;
}

constexpr const char* Start = "<clear><fg 7><bg 0>";

struct RenderCase {
  const char* Name;
  std::string Text;
  std::string Expected;  // after the start: clear, light grey on black
};

void PrintTo(const RenderCase& c, std::ostream* out) { *out << c.Name; }

class Rendering : public testing::TestWithParam<RenderCase> {};

TEST_P(Rendering, DrawsAsTheBootLoader) {
  EXPECT_EQ(Render(GetParam().Text), Start + GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Rendering,
    testing::Values(
        RenderCase{"ColourCode", "\x0f" "1eHi", "<fg 14><bg 1>Hi"},
        RenderCase{"NoDigits", "\x0fzzA", "<fg 7><bg 0>A"},
        RenderCase{"UpperCaseDigits", "\x0f" "1EA", "<fg 14><bg 1>A"},
        RenderCase{"MixedCase", "\x0f" "aFA", "<fg 15><bg 10>A"},
        RenderCase{"ColourCodeLast", "A\x0f", "A<fg 7><bg 0>"},
        RenderCase{"ColourCodeOneDigitLast", "A\x0f" "4", "A<fg 7><bg 4>"},
        RenderCase{"DigitsConsumeLineBreak", "\x0f\r\nA", "<fg 7><bg 0>A"},
        RenderCase{"GraphicLine", "AB\x18logo.lss\r\nCD", "ABCD"},
        RenderCase{"GraphicLineFirst", "\x18logo\nrest", "rest"},
        RenderCase{"GraphicLineToEnd", "A\x18no line feed", "A"},
        RenderCase{"GraphicLinesInOnePass", "a\x18x\ny\x18\x18z\nb\r\n", "ayb\r\n"},
        RenderCase{"IgnoredChar", "A\x19" "B", "AB"},
        RenderCase{"ClearMidText", "A\x0c" "B", "A<clear>B"},
        RenderCase{"ClearInColours", "\x0f" "1f\x0c", "<fg 15><bg 1><clear>"},
        RenderCase{"EmptyText", "", ""},
        RenderCase{"ControlBytesPass", std::string("a\r\n\t\b\x07\x1b\x00\x7f\xfe", 10), std::string("a\r\n\t\b\x07\x1b\x00\x7f\xfe", 10)},
        RenderCase{"SerialOnlyTextHidden", "A\x10serial\x11" "B", "AB"},
        RenderCase{"EveryEvenModeCodeHides", "\x12h\x13" "a\x14h\x15" "b\x16h\x17" "c", "abc"},
        RenderCase{"NoColoursWhileHidden", "\x10\x0f" "1fX\x11Y", "Y"},
        RenderCase{"ClearsWhileHidden", "\x10\x0c\x11Y", "<clear>Y"},
        RenderCase{"HiddenUntilEnd", "A\x14" "BC", "A"},
        // A 16-bit length would draw nothing of 65,535 bytes and only 4,464 of 70,000.
        RenderCase{"WholeTextWhateverItsLength", std::string(70000, 'x'), std::string(70000, 'x')}),
    [](const testing::TestParamInfo<RenderCase>& info) { return info.param.Name; });

TEST(Rendering, EachFileStartsShowingText) {
  RecordingSink sink;
  RenderDisplayText("\x10hidden", sink);
  RenderDisplayText("shown", sink);
  EXPECT_EQ(sink.Log, std::string(Start) + Start + "shown");
}

}  // namespace
}  // namespace UTypes
