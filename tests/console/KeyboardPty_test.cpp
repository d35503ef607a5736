// Keys at a real terminal: the help-key menu driven by legacy key bytes and by the kitty
// keyboard protocol, and input that ends.
#include <signal.h>
#include <sys/syscall.h>

#include <fstream>

#include <gtest/gtest.h>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

#define SS3 "\x1bO"
constexpr const char* KittyPush = CSI ">15u";
constexpr const char* KittyPop = CSI "<u";

// A boot medium with a splash screen and two help screens.
struct BootMedium {
  TempFolder Folder;
  BootMedium() {
    Folder.Write("isolinux.cfg", "display splash.txt\nF1 one.txt\nF2 two.txt\n");
    Folder.Write("splash.txt", "Splash screen");
    Folder.Write("one.txt", "Help one");
    Folder.Write("two.txt", "Help two");
  }
  PtyOptions Options(bool kitty = false) const {
    PtyOptions options;
    options.Directory = Folder.Path();
    options.AnswerKittyQuery = kitty;
    return options;
  }
};

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

void ExpectModesRestored(const PtyProgram& program) {
  const auto modes = program.TerminalModes();
  EXPECT_NE(modes.c_lflag & ICANON, 0u);
  EXPECT_NE(modes.c_lflag & ECHO, 0u);
}

// True while the program sleeps in poll: waiting for a key. A key sent earlier, while it
// still asks whether input is waiting, would end the menu.
bool WaitsForKey(const PtyProgram& program) {
  std::ifstream file("/proc/" + std::to_string(program.Pid()) + "/syscall");
  long number = -1;
  file >> number;
#ifdef SYS_poll
  if (number == SYS_poll) return true;
#endif
  return number == SYS_ppoll;
}

void AwaitKeyWait(PtyProgram& program) {
  ASSERT_TRUE(program.WaitUntil([&] { return WaitsForKey(program); }));
}

// Starts the program and waits until it waits for a key under the splash screen.
void AwaitMenu(PtyProgram& program) {
  ASSERT_TRUE(program.WaitForText("Splash screen"));
  ASSERT_TRUE(program.WaitForKeyMode());
  AwaitKeyWait(program);
}

TEST(LegacyKeys, DigitsShowTheirHelpScreensAndXEnds) {
  BootMedium medium;
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  program.Send("1");
  EXPECT_TRUE(program.WaitForText("Help one"));
  AwaitKeyWait(program);
  program.Send("2");
  EXPECT_TRUE(program.WaitForText("Help two"));
  // The key is not echoed over the screen.
  EXPECT_EQ(program.RowText(0), "Help two");
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  ExpectModesRestored(program);
  // The terminal did not answer the kitty query: the protocol is left alone.
  EXPECT_EQ(program.Output().find(KittyPush), std::string::npos);
}

TEST(LegacyKeys, F1ShowsTheSelectedScreenAgainForBothOfItsCodes) {
  BootMedium medium;
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  program.Send("2");
  ASSERT_TRUE(program.WaitForText("Help two"));
  ASSERT_EQ(Count(program.Output(), "Help two"), 1u);
  AwaitKeyWait(program);
  program.Send(SS3 "P");  // 0, then 0x3B: two keys that are no digit
  EXPECT_TRUE(program.WaitUntil([&] { return Count(program.Output(), "Help two") == 3; }));
  AwaitKeyWait(program);
  program.Send(CSI "1;5D");  // Ctrl+Left: 0 and 0x73
  EXPECT_TRUE(program.WaitUntil([&] { return Count(program.Output(), "Help two") == 5; }));
  EXPECT_FALSE(program.Exited());
  program.Send("X");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

TEST(LegacyKeys, AnEscFollowedLaterByXIsTwoKeys) {
  BootMedium medium;
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  program.Send(ESC);
  EXPECT_FALSE(program.WaitForExit(300));
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

TEST(LegacyKeys, CtrlCEndsThroughTheSignalWithModesRestored) {
  BootMedium medium;
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  program.Send("\x03");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.TermSignal(), SIGINT);
  ExpectModesRestored(program);
}

TEST(KittyKeys, ReleasesDriveTheMenuAndThePopIsSentOnExit) {
  BootMedium medium;
  PtyProgram program(medium.Options(true));
  AwaitMenu(program);
  ASSERT_TRUE(program.WaitUntil([&] { return program.Output().find(KittyPush) != std::string::npos; }));
  program.Send(CSI "49u");  // press '1'
  EXPECT_FALSE(program.WaitForText("Help one", 300));
  program.Send(CSI "49;1:3u");  // release it
  EXPECT_TRUE(program.WaitForText("Help one"));
  AwaitKeyWait(program);
  program.Send(CSI "57441;2u" CSI "49:33;2u" CSI "49:33;2:3u");  // Shift+1: '!', no digit
  EXPECT_TRUE(program.WaitUntil([&] { return Count(program.Output(), "Help one") == 2; }));
  AwaitKeyWait(program);
  program.Send(CSI "57441;1:3u");  // Shift released alone: nothing
  EXPECT_FALSE(program.WaitUntil([&] { return Count(program.Output(), "Help one") == 3; }, 300));
  AwaitKeyWait(program);
  program.Send(CSI "120u" CSI "120;1:3u");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  ExpectModesRestored(program);
  const std::string& output = program.Output();
  EXPECT_NE(output.find(KittyPop, output.find(KittyPush)), std::string::npos);
}

TEST(KittyKeys, CtrlCEndsAtOnceWithTheProtocolPopped) {
  BootMedium medium;
  PtyProgram program(medium.Options(true));
  AwaitMenu(program);
  ASSERT_TRUE(program.WaitUntil([&] { return program.Output().find(KittyPush) != std::string::npos; }));
  program.Send(CSI "57442;5u" CSI "99;5u");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.TermSignal(), SIGINT);
  ExpectModesRestored(program);
  EXPECT_NE(program.Output().find(KittyPop, program.Output().find(KittyPush)), std::string::npos);
}

TEST(PipedKeys, KeysFromAPipeWorkAndItsEndEndsTheProgram) {
  BootMedium medium;
  const PipeResult withKey = RunWithPipes({}, medium.Folder.Path(), "2");
  EXPECT_EQ(withKey.ExitCode, 0);
  EXPECT_NE(withKey.Out.find("Splash screen"), std::string::npos);
  EXPECT_NE(withKey.Out.find("Help two"), std::string::npos);
  const PipeResult empty = RunWithPipes({}, medium.Folder.Path(), "");
  EXPECT_EQ(empty.ExitCode, 0);
  EXPECT_EQ(empty.Out.find("Help"), std::string::npos);
}

TEST(PipedKeys, AHungUpTerminalEndsTheProgram) {
  BootMedium medium;
  PtyProgram program(medium.Options());
  AwaitMenu(program);
  program.HangUp();
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_TRUE(program.ExitCode() == 0 || program.TermSignal() == SIGHUP);
}

}  // namespace
}  // namespace vestalo::testing
