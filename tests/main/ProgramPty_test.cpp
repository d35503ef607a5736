// The real program in an 80x25 terminal: what a person sees, and how the terminal is left.
#include <signal.h>
#include <sys/stat.h>

#include <fstream>

#include <regex>

#include <gtest/gtest.h>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

constexpr int Blue = 4, Yellow = 11, Red = 1, Black = 0, LightGrey = 7, BrightWhite = 15;

struct ModesAfter {
  bool Canonical, Echo;
};

PtyOptions In(const TempFolder& folder, std::vector<std::string> arguments) {
  PtyOptions options;
  options.Arguments = std::move(arguments);
  options.Directory = folder.Path();
  return options;
}

ModesAfter Modes(const PtyProgram& program) {
  const auto modes = program.TerminalModes();
  return {(modes.c_lflag & ICANON) != 0, (modes.c_lflag & ECHO) != 0};
}

TEST(ArgumentMode, DrawsTheScreenInItsColoursAndWaitsForEnter) {
  TempFolder folder;
  folder.Write("splash.txt", "\x0f" "1eHi\x0f" "4fthere\r\n\x18logo.lss\r\nplain \xc9\xcd\xbb");
  PtyProgram program(In(folder, {"splash.txt"}));
  ASSERT_TRUE(program.WaitForText("plain"));
  EXPECT_EQ(program.RowText(0), "Hithere");
  EXPECT_EQ(program.RowText(1), "plain ╔═╗");
  const ScreenCell hi = program.Cell(0, 0);
  EXPECT_EQ(hi.Char, U'H');
  EXPECT_EQ(hi.Foreground, Yellow);
  EXPECT_EQ(hi.Background, Blue);
  const ScreenCell there = program.Cell(0, 2);
  EXPECT_EQ(there.Foreground, BrightWhite);
  EXPECT_EQ(there.Background, Red);
  // The clear at the start paints the screen black, whatever the terminal's own colours.
  EXPECT_EQ(program.Cell(24, 79).Background, Black);
  EXPECT_FALSE(program.Exited());
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_TRUE(Modes(program).Canonical);
  EXPECT_TRUE(Modes(program).Echo);
}

TEST(ArgumentMode, ScreenBytesNeverReachTheTerminalAsControlSequences) {
  TempFolder folder;
  folder.Write("hostile.txt", "A" ESC "]0;owned\x07" "B" CSI "2J\x9b" "31mC\x01");
  PtyProgram program(In(folder, {"hostile.txt"}));
  ASSERT_TRUE(program.WaitForText("C"));
  EXPECT_EQ(program.RowText(0), "A←]0;ownedB←[2J¢31mC☺");
  EXPECT_EQ(program.Cell(0, 0).Foreground, LightGrey);
  program.Send("\n");
  ASSERT_TRUE(program.WaitForExit());
}

TEST(ArgumentMode, KeysTypedWhileAScreenIsLoadedAreNotEchoedBeforeIt) {
  TempFolder folder;
  const std::string fifo = folder.Path() + "/slow.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  PtyProgram program(In(folder, {"slow.txt"}));
  // The program waits for the screen file's writer while keys are typed.
  const std::string wchan = "/proc/" + std::to_string(program.Pid()) + "/wchan";
  ASSERT_TRUE(program.WaitUntil([&] {
    std::string waitingIn;
    std::ifstream(wchan) >> waitingIn;
    return waitingIn == "wait_for_partner";
  }));
  program.Send("abc");
  {
    std::ofstream writer(fifo, std::ios::binary);
    writer << "\x0f" "1fslow screen";
  }
  ASSERT_TRUE(program.WaitForText("slow screen"));
  // Not echoed while the screen is loaded and drawn: at most the Enter wait shows them.
  const size_t echo = program.Output().find("abc");
  EXPECT_TRUE(echo == std::string::npos || echo > program.Output().find("slow screen"))
      << ::testing::PrintToString(program.Output());
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

TEST(ArgumentMode, ResetsTheColoursAsItLeaves) {
  TempFolder folder;
  folder.Write("red.txt", "\x0f" "4fred");
  PtyProgram program(In(folder, {"red.txt"}));
  ASSERT_TRUE(program.WaitForText("red"));
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  const std::string& output = program.Output();
  EXPECT_EQ(output.substr(output.size() - 4), CSI "0m");
}

TEST(HelpMode, PrintsTheUsageAndEndsAtOnce) {
  TempFolder folder;
  PtyProgram program(In(folder, {"-help"}));
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_EQ(program.RowText(0), "");
  EXPECT_EQ(program.RowText(1).rfind("Vestalo 1.1.0 by ", 0), 0u);
  EXPECT_EQ(program.RowText(3), "Usage:");
  EXPECT_EQ(program.RowText(7), "      Press \"x\" for exit");
}

TEST(ConfigurationMode, WithoutAConfigurationShowsTheUsageAndWaitsForEnter) {
  TempFolder folder;
  PtyProgram program(In(folder, {}));
  ASSERT_TRUE(program.WaitForText("Vestalo will search"));
  EXPECT_EQ(program.RowText(0), "no valid configuration file found");
  EXPECT_EQ(program.RowText(4), "Usage:");
  EXPECT_FALSE(program.WaitForExit(200));
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

TEST(Failure, AMissingFileEndsWithTheReportAndExitCode1) {
  TempFolder folder;
  PtyProgram program(In(folder, {"missing.txt"}));
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 1);
  EXPECT_TRUE(std::regex_search(program.ScreenText(),
                                std::regex("Exception EInOutError in module vestalo at [0-9A-F]{8}\\.\nFile not found\\.\n")))
      << program.ScreenText();
}

TEST(Signals, TerminalModesAndColoursAreRestoredAfterSigterm) {
  TempFolder folder;
  folder.Write("blue.txt", "\x0f" "1fblue");
  PtyProgram program(In(folder, {"blue.txt"}));
  ASSERT_TRUE(program.WaitForText("blue"));
  program.SendSignal(SIGTERM);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.TermSignal(), SIGTERM);
  EXPECT_TRUE(Modes(program).Canonical);
  EXPECT_TRUE(Modes(program).Echo);
  const std::string& output = program.Output();
  EXPECT_EQ(output.substr(output.size() - 4), CSI "0m");
}

TEST(Pipes, OutputIsExactlyTheRenderedBytes) {
  TempFolder folder;
  folder.Write("screen.txt", std::string("\x0f" "1eA\x18img\nB\x19\x0c" "C\r\n\x1b\x11" "D\x10hidden\x13" "E\x1aZ", 27));
  const PipeResult result = RunWithPipes({"screen.txt"}, folder.Path());
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Out, "ABC\r\n\x1b" "DE");
  EXPECT_EQ(result.Err, "");
}

TEST(Pipes, HelpTextIsByteExact) {
  const PipeResult result = RunWithPipes({"-help"});
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Out,
            "\r\nVestalo 1.1.0 by the Vestalo team, dev@vestalo.invalid, https://vestalo.invalid\r\n\r\n"
            "Usage:\r\n"
            " - without arguments: Vestalo will try to find isolinux.cfg/syslinux.cfg\r\n"
            "      and to read configuration from there.\r\n"
            "      Use number keys instead of function keys for menu navigation.\r\n"
            "      Press \"x\" for exit\r\n"
            " - with arguments: Vestalo will search for a splash file given as argument\r\n"
    " - with a folder or an ISO image as argument: Vestalo will read the boot\r\n"
    "      medium there, finding its configuration where the boot loader does\r\n"
    " - with -c NAME (or --config NAME): Vestalo will start from the\r\n"
    "      configuration file NAME instead of isolinux.cfg/syslinux.cfg\r\n"
    " - with --watch: Vestalo will draw the screen again when its files change\r\n"
    " - with --check [-c NAME] [MEDIUM]: Vestalo will report, one finding a line,\r\n"
    "      what goes wrong on the boot screen\r\n"
    " - with --snapshot DIR [-c NAME] [MEDIUM or FILE]: Vestalo will write each\r\n"
    "      screen to DIR as text, ANSI colours, an HTML page and a PNG picture\r\n"
    " - with --version: Vestalo will print its version; --help or -h: this text\r\n");
}

TEST(Pipes, FailureReportIsThreeLinesOnStandardError) {
  TempFolder folder;
  const PipeResult result = RunWithPipes({"-HELP"}, folder.Path());
  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_TRUE(std::regex_match(result.Err, std::regex("Exception EInOutError in module vestalo at [0-9A-F]{8}\\.\r\nFile not found\\.\r\n\r\n")))
      << result.Err;
}

}  // namespace
}  // namespace vestalo::testing
