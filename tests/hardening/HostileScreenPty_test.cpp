// Screen files that try to drive the terminal: control sequences in 7 and 8 bits, title
// setting, device strings, character-set switches, resets and invalid UTF-8. They must show
// as glyphs, cell for cell, and leave the terminal's title, modes and pen as they were.
#include <gtest/gtest.h>

#include "../fuzz/TerminalOutputCheck.h"
#include "console/Cp437.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

#define OSC "\x1b]"
#define DCS "\x1bP"
#define ST "\x1b\\"

// No byte here is one of the boot loader's own codes (^O, ^L, ^P-^Y) or ends the file (^Z, 0xFF).
const std::string Attacks[] = {
    CSI "2J" CSI "1;1H" CSI "5;10r" CSI "6n" CSI "c",                    // clear, move, region, reports
    CSI "1;4;5;7;9;31;42m" CSI "?25l" CSI "?5h" CSI "?1049h" CSI "?1000h",  // pen, cursor, modes, mouse
    CSI "?1h" ESC "=" CSI "4h" CSI "?7l",                                  // keypad, insert, no wrap
    OSC "0;owned\x07" OSC "2;owned" ST OSC "1;icon\x07",                   // titles
    OSC "52;c;b3duZWQ=\x07" OSC "8;;https://x.invalid/" ST "link" OSC "8;;" ST,
    DCS "$q m" ST DCS "1;1|17/ab" ST ESC "_apc" ST ESC "^pm" ST,           // device strings
    "\x9b" "31m" "\x9b?25l" "\x9d" "0;owned8\x9c" "\x90q\x9c" "\x8d\x84\x85\x9a\x9e\x9f",  // C1
    "\xc2\x9b" "32m" "\xc0\xaf" "\xed\xa0\x80" "\xf8\x88\x80\x80\x80" "\xe2\x82",  // UTF-8 C1, invalid
    "\x0e" ESC "(0" ESC ")0" "lqk" ESC "c" ESC "#8" ESC "7" ESC "8" "\x05\x7f",  // charsets, resets
};

std::string HostileText() {
  std::string text;
  for (const auto& attack : Attacks) text += attack;
  return text;
}

// What the frame shows for the text: each byte's code page 437 glyph, 80 to a row; a bell
// shows nothing.
std::vector<std::string> ExpectedRows(const std::string& text) {
  std::vector<std::string> rows(1);
  int column = 0;
  for (unsigned char byte : text) {
    if (byte == '\a') continue;
    rows.back() += Utf8(byte == 0 ? U' ' : console::Cp437CodePoint(byte));
    if (++column == 80) {
      rows.emplace_back();
      column = 0;
    }
  }
  return rows;
}

// The kitty keyboard query, push and pop, which this terminal does not know.
bool IsProgramsOwn(const std::string& sequence) {
  return sequence == "CSI ?u" || sequence == "CSI >15u" || sequence == "CSI <u";
}

void ExpectTerminalUntouched(const PtyProgram& program) {
  const TerminalProperties& props = program.Properties();
  EXPECT_EQ(props.Title, "");
  EXPECT_EQ(props.IconName, "");
  EXPECT_TRUE(props.CursorVisible);
  EXPECT_FALSE(props.AltScreen);
  EXPECT_FALSE(props.ReverseScreen);
  EXPECT_EQ(props.Mouse, 0);
  // Restoring the saved cursor (around the frame's release) sets the cursor's properties
  // again, to the values they start with; nothing may set any other value.
  for (const auto& change : props.PropertyLog)
    EXPECT_TRUE(change == "cursorvisible=1" || change == "cursorblink=1" || change == "cursorshape=1") << change;
  for (const auto& sequence : props.UnknownSequences) EXPECT_TRUE(IsProgramsOwn(sequence)) << sequence;
  EXPECT_TRUE(program.PenIsPlain());
  EXPECT_TRUE(program.Output().find("owned") != std::string::npos);  // it was drawn, as text
}

TEST(HostileScreen, ShowsEveryByteAsItsGlyphAndLeavesTheTerminalAlone) {
  TempFolder folder;
  const std::string text = HostileText();
  folder.Write("hostile.txt", text);
  PtyOptions options;
  options.Directory = folder.Path();
  options.Arguments = {"hostile.txt"};
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForIdle());
  const auto rows = ExpectedRows(text);
  ASSERT_TRUE(program.WaitUntil([&] { return program.RowText(static_cast<int>(rows.size()) - 1) == rows.back(); }))
      << program.ScreenText();
  for (size_t row = 0; row < rows.size(); ++row) EXPECT_EQ(program.RowText(static_cast<int>(row)), rows[row]) << row;
  EXPECT_EQ(program.CursorRow(), static_cast<int>(rows.size()) - 1);
  EXPECT_EQ(program.Cell(0, 0).Foreground, 7);  // light grey on black, as the clear set it
  EXPECT_EQ(program.Cell(0, 0).Background, 0);
  ExpectTerminalUntouched(program);
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_EQ(checks::TerminalOutputFault(program.Output()), "");
  ExpectTerminalUntouched(program);
}

TEST(HostileScreen, AsAHelpScreenInAnEightBitTerminalToo) {
  TempFolder folder;
  folder.Write("isolinux.cfg", "display hostile.txt\nF1 hostile.txt\n");
  folder.Write("hostile.txt", HostileText());
  PtyOptions options;
  options.Directory = folder.Path();
  options.Environment = {"LC_ALL=C"};  // ASCII only: everything else shows as '?'
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForKeyMode());
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("1");
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_NE(program.RowText(0).find("?[2J?[1;1H"), std::string::npos) << program.RowText(0);
  EXPECT_EQ(checks::TerminalOutputFault(program.Output(), checks::Encoding::EightBit), "");
  const TerminalProperties& props = program.Properties();
  EXPECT_EQ(props.Title, "");
  EXPECT_FALSE(props.AltScreen);
  EXPECT_TRUE(props.CursorVisible);
  EXPECT_EQ(props.Mouse, 0);
  EXPECT_TRUE(program.PenIsPlain());
}

}  // namespace
}  // namespace vestalo::testing
