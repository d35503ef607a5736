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

// Each name, text and what is drawn after the start: a clear, light grey on black.
TEST(Rendering, DrawsAsTheBootLoader) {
  // clang-format off
  const struct {
    const char* Name;
    std::string Text, Expected;
  } cases[] = {
      {"ColourCode", "\x0f" "1eHi", "<fg 14><bg 1>Hi"},       {"NoDigits", "\x0fzzA", "<fg 7><bg 0>A"},
      {"UpperCaseDigits", "\x0f" "1EA", "<fg 14><bg 1>A"},    {"MixedCase", "\x0f" "aFA", "<fg 15><bg 10>A"},
      {"ColourCodeLast", "A\x0f", "A<fg 7><bg 0>"},           {"ColourCodeOneDigitLast", "A\x0f" "4", "A<fg 7><bg 4>"},
      {"DigitsConsumeLineBreak", "\x0f\r\nA", "<fg 7><bg 0>A"}, {"GraphicLine", "AB\x18logo.lss\r\nCD", "ABCD"},
      {"GraphicLineFirst", "\x18logo\nrest", "rest"},          {"GraphicLineToEnd", "A\x18no line feed", "A"},
      {"GraphicLinesInOnePass", "a\x18x\ny\x18\x18z\nb\r\n", "ayb\r\n"},
      {"GraphicLineWithinAColourCode", "\x0f" "1\x18logo\n" "eA", "<fg 14><bg 1>A"},  {"IgnoredChar", "A\x19" "B", "AB"},
      {"ClearMidText", "A\x0c" "B", "A<clear>B"},             {"ClearInColours", "\x0f" "1f\x0c", "<fg 15><bg 1><clear>"},
      {"EmptyText", "", ""},                                 {"HiddenUntilEnd", "A\x14" "BC", "A"},
      {"ControlBytesPass", std::string("a\r\n\t\b\x07\x1b\x00\x7f\xfe", 10), std::string("a\r\n\t\b\x07\x1b\x00\x7f\xfe", 10)},
      {"SerialOnlyTextHidden", "A\x10serial\x11" "B", "AB"}, {"NoColoursWhileHidden", "\x10\x0f" "1fX\x11Y", "Y"},
      {"EveryEvenModeCodeHides", "\x12h\x13" "a\x14h\x15" "b\x16h\x17" "c", "abc"},
      {"ClearsWhileHidden", "\x10\x0c\x11Y", "<clear>Y"},
      // A 16-bit length would draw nothing of 65,535 bytes and only 4,464 of 70,000.
      {"WholeTextWhateverItsLength", std::string(70000, 'x'), std::string(70000, 'x')}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(Render(c.Text), Start + c.Expected) << c.Name;
}

TEST(Rendering, EachFileStartsShowingText) {
  RecordingSink sink;
  RenderDisplayText("\x10hidden", sink);
  RenderDisplayText("shown", sink);
  EXPECT_EQ(sink.Log, std::string(Start) + Start + "shown");
}

}  // namespace
}  // namespace UTypes
