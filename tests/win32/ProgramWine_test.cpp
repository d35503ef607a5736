// The Windows program under Wine: redirected runs compared byte for byte, and the
// interactive program in a pseudo-terminal, where Wine's console host draws the console's
// screen buffer and turns typed bytes into key-down and key-up records.
#include <regex>

#include <gtest/gtest.h>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

// Starting Wine takes a while, more so on a busy machine.
constexpr int WineTimeoutMs = 45000;
constexpr int Blue = 4, Yellow = 11, Red = 1, BrightWhite = 15;

const std::string Program = VESTALO_WINE_PROGRAM;

PipeResult RunUnderWine(std::vector<std::string> arguments, const std::string& directory = "",
               std::string_view input = "") {
  arguments.insert(arguments.begin(), Program);
  return RunWithPipes(arguments, directory, input);
}

const std::string Instructions =
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
    " - with --version: Vestalo will print its version; --help or -h: this text\r\n";
const std::string Banner = "Vestalo 1.1.0 by the Vestalo team, dev@vestalo.invalid, https://vestalo.invalid\r\n";

TEST(WindowsRedirected, HelpIsTheUsageByteForByte) {
  const PipeResult result = RunUnderWine({"-help"});
  EXPECT_EQ(result.Out, "\r\n" + Banner + "\r\n" + Instructions);
  EXPECT_EQ(result.Err, "");
  EXPECT_EQ(result.ExitCode, 0);
}

TEST(WindowsRedirected, AScreenFileIsWrittenAsItsBytesWithoutCodes) {
  TempFolder folder;
  folder.Write("my splash.txt", "\x0f" "1eHi\x0f" "4fthere\r\nplain \xc9\xcd\xbb\x01" "\x1b[2J\x19\x0c" "end\x1a" "after");
  // Wine quotes the argument with its blank; the program's own rules take the quotes off.
  const PipeResult result = RunUnderWine({"my splash.txt", "-help"}, folder.Path(), "\r\n");
  EXPECT_EQ(result.Out, "Hithere\r\nplain \xc9\xcd\xbb\x01\x1b[2Jend");
  EXPECT_EQ(result.Err, "");
  EXPECT_EQ(result.ExitCode, 0);
}

TEST(WindowsRedirected, AFailedOpenEndsWithTheReport) {
  TempFolder folder;
  folder.Write("folder/inside.txt", "x");
  const struct {
    const char* Name;
    const char* Message;
  } cases[] = {{"missing.txt", "File not found."},
               {"-HELP", "File not found."},
               {"nofolder\\missing.txt", "Invalid filename."}};
  for (const auto& c : cases) {
    const PipeResult result = RunUnderWine({c.Name}, folder.Path());
    EXPECT_EQ(result.ExitCode, 1) << c.Name;
    EXPECT_EQ(result.Out, "") << c.Name;
    const std::regex report("Exception EInOutError in module vestalo\\.exe at [0-9A-F]{8}\\.\r\n" +
                            std::string(c.Message) + "\r\n\r\n");
    EXPECT_TRUE(std::regex_match(result.Err, report)) << c.Name << ": " << result.Err;
  }
}

TEST(WindowsRedirected, ConfigurationModeDrawsTheSplashAndEndsWithTheInput) {
  TempFolder folder;
  folder.Write("ISOLINUX.CFG", "display ignored.txt\n");
  folder.Write("syslinux.cfg", "DEFAULT live\r\ndisplay boot.msg\r\nF1 help.txt\r\n");
  folder.Write("boot.msg", "\x0f" "1eWelcome\r\n\x18logo.lss\r\nbye");
  const PipeResult result = RunUnderWine({}, folder.Path());
  EXPECT_EQ(result.Out, "Welcome\r\nbye");
  EXPECT_EQ(result.Err, "");
  EXPECT_EQ(result.ExitCode, 0);
}

TEST(WindowsRedirected, ConfigurationModeReportsWhatIsMissing) {
  TempFolder empty;
  const PipeResult none = RunUnderWine({}, empty.Path(), "\r\n");
  EXPECT_EQ(none.Out, "no valid configuration file found\r\n\r\n" + Banner + "\r\n" + Instructions);
  EXPECT_EQ(none.ExitCode, 0);

  TempFolder folder;
  folder.Write("isolinux.cfg", "F1 help.txt\n");
  const PipeResult noDisplay = RunUnderWine({}, folder.Path());
  EXPECT_EQ(noDisplay.Out,
            "Vestalo read this configuration, which includes no other file:\r\n  isolinux.cfg\r\n"
            "It names no splash screen: it has no display line.\r\n\r\n"
            "Help screens: press 1 (its F1 line).\r\n\r\nPress x to end.\r\n");
  EXPECT_EQ(noDisplay.ExitCode, 0);
}

PtyOptions UnderWine(const TempFolder& folder, std::vector<std::string> arguments) {
  PtyOptions options;
  options.Arguments = std::move(arguments);
  options.Arguments.insert(options.Arguments.begin(), Program);
  options.Directory = folder.Path();
  return options;
}

TEST(WindowsConsole, SplashInItsColoursADigitShowsItsHelpAndXEnds) {
  TempFolder folder;
  folder.Write("isolinux.cfg", "display splash.txt\nF1 one.txt\nF2 two.txt\n");
  folder.Write("splash.txt", "\x0f" "1eSplash \x0f" "4fscreen");
  folder.Write("one.txt", "Help one");
  folder.Write("two.txt", "\x0f" "1eHelp two");
  PtyProgram program(UnderWine(folder, {}));
  ASSERT_TRUE(program.WaitForText("Splash screen", WineTimeoutMs)) << program.ScreenText();
  EXPECT_EQ(program.Cell(0, 0).Foreground, Yellow);
  EXPECT_EQ(program.Cell(0, 0).Background, Blue);
  EXPECT_EQ(program.Cell(0, 7).Foreground, BrightWhite);
  EXPECT_EQ(program.Cell(0, 7).Background, Red);
  program.Send("1");
  EXPECT_TRUE(program.WaitUntil([&] { return program.RowText(0) == "Help one"; }, WineTimeoutMs))
      << program.ScreenText();
  // The menu ends when a key is already waiting after a screen is drawn, and the screen is
  // seen a moment before the program asks: the next key comes once it waits for one.
  EXPECT_FALSE(program.WaitForExit(1000));
  program.Send("2");
  EXPECT_TRUE(program.WaitUntil([&] { return program.RowText(0) == "Help two"; }, WineTimeoutMs))
      << program.ScreenText();
  EXPECT_EQ(program.Cell(0, 0).Foreground, Yellow);
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit(WineTimeoutMs));
  EXPECT_EQ(program.ExitCode(), 0);
}

TEST(WindowsConsole, AScreenFileWaitsForEnter) {
  TempFolder folder;
  folder.Write("screen.txt", "\x0f" "1eOn the console \xc9\xcd\xbb");
  PtyProgram program(UnderWine(folder, {"screen.txt"}));
  ASSERT_TRUE(program.WaitForText("On the console", WineTimeoutMs)) << program.ScreenText();
  // The bytes reach the console unchanged: its code page 437 draws them as a frame corner.
  EXPECT_EQ(program.RowText(0), "On the console ╔═╗");
  EXPECT_EQ(program.Cell(0, 0).Background, Blue);
  EXPECT_FALSE(program.WaitForExit(500));
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit(WineTimeoutMs));
  EXPECT_EQ(program.ExitCode(), 0);
}

}  // namespace
}  // namespace vestalo::testing
