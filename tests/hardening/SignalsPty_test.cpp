// Signals that end the program while it draws, waits for Enter or waits for a key, and a
// window resized under the menu: the program ends as the signal says (or carries on after
// a resize) and leaves the terminal in its own modes and colours.
#include <signal.h>

#include <gtest/gtest.h>

#include "../fuzz/TerminalOutputCheck.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

// Long enough that drawing is still going on when the signal comes.
std::string HugeScreen() {
  std::string line = "\x0f" "1e" + std::string(70, '\xb1') + "\r\n";
  std::string screen;
  while (screen.size() < (16u << 20)) screen += line;
  return screen;
}

struct Medium {
  TempFolder Folder;
  Medium() {
    Folder.Write("isolinux.cfg", "display splash.txt\nF1 one.txt\nF2 two.txt\n");
    Folder.Write("splash.txt", "\x0f" "4eSplash screen");
    Folder.Write("one.txt", "\x0f" "2fHelp one");
    Folder.Write("two.txt", "Help two");
  }
  PtyOptions Options(std::vector<std::string> arguments = {}) const {
    PtyOptions options;
    options.Directory = Folder.Path();
    options.Arguments = std::move(arguments);
    return options;
  }
};

void ExpectTerminalRestored(const PtyProgram& program) {
  const auto modes = program.TerminalModes();
  EXPECT_NE(modes.c_lflag & ICANON, 0u);
  EXPECT_NE(modes.c_lflag & ECHO, 0u);
  EXPECT_NE(modes.c_lflag & ISIG, 0u);
  const std::string& output = program.Output();
  ASSERT_GE(output.size(), 4u);
  EXPECT_EQ(output.substr(output.size() - 4), CSI "0m");
}

enum class Moment { EnterWait, MenuKeyWait, Drawing };

struct SignalCase {
  const char* Label;
  int Signal;
  Moment When;
};

const SignalCase SignalCases[] = {
    {"HangUpAtTheEnterWait", SIGHUP, Moment::EnterWait},
    {"HangUpAtTheMenu", SIGHUP, Moment::MenuKeyWait},
    {"HangUpWhileDrawing", SIGHUP, Moment::Drawing},
    {"TermAtTheEnterWait", SIGTERM, Moment::EnterWait},
    {"TermAtTheMenu", SIGTERM, Moment::MenuKeyWait},
    {"TermWhileDrawing", SIGTERM, Moment::Drawing},
    {"InterruptAtTheEnterWait", SIGINT, Moment::EnterWait},
    {"InterruptAtTheMenu", SIGINT, Moment::MenuKeyWait},
    {"InterruptWhileDrawing", SIGINT, Moment::Drawing},
};

class EndingSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(EndingSignal, EndsTheProgramWithTheTerminalRestored) {
  Medium medium;
  const Moment when = GetParam().When;
  if (when == Moment::Drawing) medium.Folder.Write("huge.txt", HugeScreen());
  PtyProgram program(medium.Options(when == Moment::EnterWait ? std::vector<std::string>{"one.txt"}
                                    : when == Moment::Drawing ? std::vector<std::string>{"huge.txt"}
                                                              : std::vector<std::string>{}));
  if (when == Moment::Drawing) {
    ASSERT_TRUE(program.WaitUntil([&] { return program.Output().size() > (256u << 10); }));
  } else {
    ASSERT_TRUE(program.WaitForText(when == Moment::EnterWait ? "Help one" : "Splash screen"));
    ASSERT_TRUE(program.WaitForIdle());
  }
  ASSERT_FALSE(program.Exited());
  program.SendSignal(GetParam().Signal);
  ASSERT_TRUE(program.WaitForExit(10000));
  EXPECT_EQ(program.TermSignal(), GetParam().Signal);
  ExpectTerminalRestored(program);
  // Drawing was cut off somewhere in the middle; otherwise every byte sent must be the program's own.
  if (when != Moment::Drawing) {
    EXPECT_EQ(checks::TerminalOutputFault(program.Output()), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignal, ::testing::ValuesIn(SignalCases),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(HangUp, ATerminalThatGoesAwayWhileDrawingEndsTheProgram) {
  Medium medium;
  medium.Folder.Write("huge.txt", HugeScreen());
  PtyProgram program(medium.Options({"huge.txt"}));
  ASSERT_TRUE(program.WaitUntil([&] { return program.Output().size() > (256u << 10); }));
  program.HangUp();
  ASSERT_TRUE(program.WaitForExit(10000));
  EXPECT_TRUE(program.TermSignal() == SIGHUP || program.ExitCode() == 0 || program.ExitCode() == 1)
      << program.TermSignal() << " " << program.ExitCode();
}

TEST(Resize, TheMenuGoesOnAfterTheWindowChangesSize) {
  Medium medium;
  PtyProgram program(medium.Options());
  ASSERT_TRUE(program.WaitForText("Splash screen"));
  ASSERT_TRUE(program.WaitForIdle());
  for (const auto& [rows, columns, key, expected] :
       {std::tuple{40, 120, "1", "Help one"}, std::tuple{20, 60, "2", "Help two"}, std::tuple{25, 80, "1", "Help one"}}) {
    program.Resize(rows, columns);
    ASSERT_TRUE(program.WaitForIdle());
    ASSERT_FALSE(program.Exited()) << rows << "x" << columns;
    program.Send(key);
    EXPECT_TRUE(program.WaitUntil([&] { return program.RowText(0) == expected; })) << program.ScreenText();
    ASSERT_TRUE(program.WaitForIdle());
  }
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  ExpectTerminalRestored(program);
  EXPECT_EQ(checks::TerminalOutputFault(program.Output()), "");
}

}  // namespace
}  // namespace vestalo::testing
