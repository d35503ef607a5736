// The whole program on a boot medium: the configuration found, the splash drawn in its
// colours, and the help-key menu as a person uses it.
#include <gtest/gtest.h>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

constexpr int Blue = 4, Yellow = 11;

struct Medium {
  TempFolder Folder;
  explicit Medium(const std::string& config) {
    Folder.Write("isolinux.cfg", config);
    Folder.Write("splash.txt", "\x0f" "1eSplash screen");
    Folder.Write("one.txt", "Help one");
    Folder.Write("two.txt", "Help two");
    Folder.Write("ten.txt", "Help ten");
  }
  PtyOptions Options() const {
    PtyOptions options;
    options.Directory = Folder.Path();
    return options;
  }
};

const char* const StandardConfig = "DEFAULT live\ndisplay splash.txt\nF1 one.txt\nF2 two.txt\nF3 gone.txt\nF10 ten.txt\n";

void AwaitMenu(PtyProgram& program) {
  ASSERT_TRUE(program.WaitForText("Splash screen"));
  ASSERT_TRUE(program.WaitForKeyMode());
  ASSERT_TRUE(program.WaitForIdle());
}

// Sends a key, waits until the screen's first row reads `expected` and the menu awaits the
// next key: a key that arrives while one is handled ends the menu.
void Press(PtyProgram& program, const std::string& key, const std::string& expected) {
  program.Send(key);
  EXPECT_TRUE(program.WaitUntil([&] { return program.RowText(0) == expected; })) << program.ScreenText();
  EXPECT_TRUE(program.WaitForIdle());
}

TEST(Menu, SplashInItsColoursThenDigitsShowTheirFiles) {
  Medium medium(StandardConfig);
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  EXPECT_EQ(program.Cell(0, 0).Foreground, Yellow);
  EXPECT_EQ(program.Cell(0, 0).Background, Blue);
  Press(program, "1", "Help one");
  Press(program, "0", "Help ten");
  Press(program, "3", "File gone.txt not found");
  Press(program, "2", "Help two");
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_NE(program.TerminalModes().c_lflag & ICANON, 0u);
  EXPECT_EQ(program.RowText(0), "Help two");  // the screen keeps what was drawn
}

TEST(Menu, ADigitWithoutALineChoosesNothing) {
  Medium medium(StandardConfig);
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  Press(program, "1", "Help one");
  // Nothing on the screen shows that these keys were handled: wait until the menu sleeps.
  const auto settle = [&] { ASSERT_TRUE(program.WaitForIdle()); };
  program.Send("5");  // empties the selection: nothing is drawn for it
  settle();
  program.Send(CSI "A");  // nor for the arrow that follows
  settle();
  program.Send("2");
  EXPECT_TRUE(program.WaitForText("Help two"));
  EXPECT_EQ(program.Output().find("Help one"), program.Output().rfind("Help one"));
  program.Send("X");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Menu, OtherKeysShowTheSelectionAgain) {
  Medium medium(StandardConfig);
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  Press(program, "1", "Help one");
  const auto drawings = [&] {
    size_t count = 0;
    for (size_t at = program.Output().find("Help one"); at != std::string::npos;
         at = program.Output().find("Help one", at + 1))
      ++count;
    return count;
  };
  program.Send(CSI "B");  // Down: 0 and then its code, so drawn twice
  EXPECT_TRUE(program.WaitUntil([&] { return drawings() == 3; }));
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("\r");  // Enter is an ordinary key
  EXPECT_TRUE(program.WaitUntil([&] { return drawings() == 4; }));
  EXPECT_FALSE(program.Exited());
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
}

struct EndingKey {
  const char* Name;
  const char* Bytes;
};

void PrintTo(const EndingKey& key, std::ostream* out) { *out << key.Name; }

class MenuEnds : public ::testing::TestWithParam<EndingKey> {};

// Extended codes act like the characters of the same value: 88 is "X", 120 is "x".
TEST_P(MenuEnds, OnKeysWhoseCodeIsX) {
  Medium medium(StandardConfig);
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  program.Send(GetParam().Bytes);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuEnds,
                         ::testing::Values(EndingKey{"F12", CSI "24~"}, EndingKey{"ShiftF5", CSI "15;2~"},
                                         EndingKey{"AltOne", ESC "1"}, EndingKey{"LowerX", "x"}),
                         [](const auto& info) { return info.param.Name; });

TEST(Menu, AltNShowsTheFirstHelpFile) {
  Medium medium(StandardConfig);
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  Press(program, "1", "Help one");
  Press(program, "2", "Help two");
  Press(program, ESC "n", "Help one");  // 0 and then 49, the code of "1"
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
}

TEST(Menu, UpperCaseNamesOnDiskAreFound) {
  TempFolder folder;
  folder.Write("ISOLINUX.CFG", "DISPLAY SPLASH.TXT\nF1 help/one.txt\n");
  folder.Write("splash.txt", "Lower-case splash");
  folder.Write("HELP/ONE.TXT", "Upper-case help");
  PtyOptions options;
  options.Directory = folder.Path();
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForText("Lower-case splash"));
  ASSERT_TRUE(program.WaitForIdle());
  Press(program, "1", "Upper-case help");
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
}

TEST(Menu, WithoutADisplayLineANoticeComesFirst) {
  Medium medium("F1 one.txt\n");
  PtyProgram program(medium.Options());
  ASSERT_TRUE(program.WaitForText("It names no splash screen: it has no display line."));
  ASSERT_TRUE(program.WaitForIdle());
  Press(program, "1", "Help one");
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
}

TEST(Menu, SyslinuxCfgWinsOverIsolinuxCfg) {
  Medium medium("display one.txt\n");
  medium.Folder.Write("syslinux.cfg", "display two.txt\n");
  PtyProgram program(medium.Options());
  ASSERT_TRUE(program.WaitForText("Help two"));
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
}

TEST(Menu, TheSampleMediumShowsItsScreens) {
  PtyOptions options;
  options.Directory = VESTALO_SOURCE_DIR "/samples/bootcd";
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForText("Harbour Linux 3.1"));
  ASSERT_TRUE(program.WaitForKeyMode());
  EXPECT_EQ(program.ScreenText().find("serial console"), std::string::npos);
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("1");
  EXPECT_TRUE(program.WaitForText("Labels you can type"));
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("3");
  EXPECT_TRUE(program.WaitForText("File help3.txt not found"));
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("0");
  EXPECT_TRUE(program.WaitForText("Licence"));
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

}  // namespace
}  // namespace vestalo::testing
