// The Windows program under Wine: redirected runs compared byte for byte, and the
// interactive program in a pseudo-terminal, where Wine's console host draws the console's
// screen buffer and turns typed bytes into key-down and key-up records.
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

constexpr int Red = 1, Green = 2, Blue = 4, Yellow = 11, White = 15;
const std::string NoConfiguration = "no valid configuration file found\r\n" + HelpText;
const Medium Screens = {File("my splash.txt",
                             "\x0f"
                             "1eHi\x0f"
                             "4fthere\r\nplain \xc9\xcd\xbb\x01"
                             "\x1b[2J\x19\x0c"
                             "end\x1a"
                             "after"),
                        File("folder/inside.txt", "x")};

// clang-format off
const RunRow Runs[] = {
    {.Name = "HelpIsTheUsage", .Arguments = {"-help"}, .Output = HelpText},
    // Wine quotes the argument with its blank; the program's own rules take the quotes off.
    {.Name = "ScreenBytesWithoutCodes", .Files = Screens, .Arguments = {"my splash.txt", "-help"}, .Input = "\r\n",
     .Output = "Hithere\r\nplain \xc9\xcd\xbb\x01\x1b[2Jend"},
    {.Name = "MissingFile", .Arguments = {"-HELP"}, .Exit = 1, .Output = "", .Report = "File not found"},
    {.Name = "MissingFolder", .Arguments = {"no\\missing.txt"}, .Exit = 1, .Report = "Invalid filename"},
    // A Windows error that means nothing of the table's: reported by its own number.
    {.Name = "InvalidNameByItsNumber", .Arguments = {"bad<name.txt"}, .Exit = 1, .Report = "I/O error 123"},
    {.Name = "FolderWithoutConfiguration", .Files = Screens, .Arguments = {"folder"}, .Input = "\r\n",
     .Output = NoConfiguration},
    {.Name = "SyslinuxWins",
     .Files = {File("ISOLINUX.CFG", "display ignored.txt\n"), File("syslinux.cfg", "DEFAULT live\r\ndisplay boot.msg\r\n"),
               File("boot.msg", "\x0f" "1eWelcome\r\n\x18logo.lss\r\nbye")},
     .Output = "Welcome\r\nbye"},
    {.Name = "NoDisplayLine", .Files = {File("isolinux.cfg", "F1 help.txt\n"), File("help.txt", "Help")},
     .Output = "Vestalo read this configuration, which includes no other file:\r\n  isolinux.cfg\r\n"
               "It names no splash screen: it has no display line.\r\n\r\n"
               "Help screens: press 1 (its F1 line).\r\n\r\nPress x to end.\r\n"},
    {.Name = "ToAFullDisk", .Files = Screens, .Arguments = {"my splash.txt"}, .Out = Stdout::Full, .Exit = 1,
     .Report = "Disk full"},
    {.Name = "EnterWaitInputPipeClosed", .Files = Screens, .Arguments = {"my splash.txt"}, .In = Stdin::Pipe,
     .CloseInputAfterMs = 3000, .OutputHas = "plain"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Windows, RedirectedRun, ::testing::ValuesIn(Runs), RowName());

const Medium Menu = {File("isolinux.cfg", "display splash.txt\nF1 one.txt\nF2 two.txt\n"),
                     File("splash.txt",
                          "\x0f"
                          "1eSplash \x0f"
                          "4fscreen"),
                     File("one.txt", "Help one"),
                     File("two.txt",
                          "\x0f"
                          "1eHelp two"),
                     File("screen.txt",
                          "\x0f"
                          "1eOn the console \xc9\xcd\xbb")};

// The console host shows a screen a moment before the program asks for the next key, and a
// key that comes while one is handled ends the menu: each key comes once nothing has moved
// for a while.
// clang-format off
const ScriptRow Scripts[] = {
    {.Name = "SplashADigitAndX", .Files = Menu,
     .Steps = {Shows("Splash screen"), Cell(0, 0, Yellow, Blue), Cell(0, 7, White, Red), Alive(1000), Send("1"),
               Row(0, "Help one"), Cell(5, 5, Any, Red), Alive(1000), Send("2"), Row(0, "Help two"),
               Cell(0, 0, Yellow, Blue), Alive(1000), Send("x")}},
    // Code page 437 bytes reach the console unchanged; its font draws them as a frame corner.
    {.Name = "ScreenFileWaitsForEnter", .Files = Menu, .Arguments = {"screen.txt"},
     .Steps = {Row(0, "On the console ╔═╗"), Cell(0, 0, Any, Blue), Alive(500), Send("\r")}},
    // The boot menu in the console: Enter shows what would run, any key returns, MENU QUIT
    // leaves the loader's prompt under the menu, where "x" ends. (Wine's console host holds
    // a lone Esc typed at its terminal as the start of a sequence.)
    {.Name = "BootMenu", .Files = {Copy("m", "tests/menu/cases/07-submenus")},
     .Steps = {Shows("Top menu"), Alive(1000), Send("\r"), Shows("Here the boot loader would boot"), Alive(1000), Send("a"),
               Shows("Top menu"), Alive(1000), Send("q"), Alive(1000), Send("\r"), Row(23, "boot:"), Alive(1000), Send("x")},
     .Directory = "m"},
    // vesamenu.c32's menu in the nearest of the console's 16 colours: yellow (255,255,0) on
    // green (0,128,0) is bright yellow on green; white on maroon (128,0,0) bright white on red.
    {.Name = "GraphicalMenu",
     .Files = {File("m/isolinux.cfg", "UI vesamenu.c32\nMENU BACKGROUND #ff000080\n"
                                      "MENU COLOR title 0 #ffffff00 #ff008000 none\n"
                                      "MENU COLOR sel 0 #ffffffff #ff800000 none\n"
                                      "MENU TITLE Harbour\nLABEL one\n  MENU LABEL One\n  KERNEL one\n"
                                      "LABEL quit\n  MENU LABEL ^Quit\n  MENU QUIT\n")},
     .Steps = {Shows("Harbour"), Shows("Quit"), Cell(1, 40, Yellow, Green), Cell(3, 12, White, Red), Alive(1000), Send("q"), Alive(1000),
               Send("\r"), Shows("boot:"), Alive(1000), Send("x")},
     .Directory = "m"},
    // Saved by rename, as editors save: the screen is drawn again while the Enter wait goes on.
    {.Name = "WatchedScreenFile", .Files = Menu, .Arguments = {"--watch", "screen.txt"},
     .Steps = {Row(0, "On the console ╔═╗"), Alive(500), Save("screen.txt", "\x0f" "4fSaved again"), Row(0, "Saved again"),
               Cell(0, 0, White, Red), Alive(500), Send("\r")}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Windows, TerminalScript, ::testing::ValuesIn(Scripts), RowName());

}  // namespace
}  // namespace vestalo::testing
