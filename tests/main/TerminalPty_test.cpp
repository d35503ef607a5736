// The program in a terminal as a person uses it: keys, signals and terminal sizes against
// what the screen shows, the terminal's modes and the exit.
#include <signal.h>

#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

constexpr int Red = 1, Blue = 4, Yellow = 11, White = 15;

const Medium Menu = {
    File("isolinux.cfg",
         "DEFAULT live\ndisplay splash.txt\nF1 one.txt\nF2 two.txt\nF3 gone.txt\nF4 keys\n"
         "F5 tw*.txt\nF9 one.txt\nF10 ten.txt\n"),
    File("splash.txt",
         "\x0f"
         "1eSplash screen"),
    File("one.txt", "Help one"),
    File("two.txt",
         "\x0f"
         "4fHelp two"),
    File("ten.txt", "Help ten"),
    Fifo("keys")};

// Until the splash shows and the menu waits for a key, then the steps.
std::vector<Step> AtMenu(std::vector<Step> steps) {
  steps.insert(steps.begin(), {Shows("Splash screen"), Idle()});
  return steps;
}

std::string ThirtyRowsAndALongLine() {
  std::string text = "\x0c";
  for (int row = 0; row < 30; ++row)
    text += "row " + std::string(row < 10 ? "0" : "") + std::to_string(row) + "\r\n";
  return text + std::string(85, 'x');
}

// clang-format off
const ScriptRow Scripts[] = {
    {.Name = "DigitsShowTheirScreens", .Files = Menu,
     .Steps = AtMenu({Cell(0, 0, Yellow, Blue), Press("1", "Help one"), Cell(5, 5, Any, Blue), Press("0", "Help ten"),
                      Press("9", "Help one"), Press("3", "File gone.txt not found"), Press("4", "File keys not found"), Press("2", "Help two"),
                      Cell(0, 0, White, Red), Send("x")})},
    // Where the terminal delivers them, F1..F10 show their files, each once.
    {.Name = "FunctionKeysShowTheirScreens", .Files = Menu,
     .Steps = AtMenu({Press(SS3 "P", "Help one"), Drawn("Help one", 1), Press(CSI "21~", "Help ten"),
                      Press(SS3 "Q", "Help two"), Press(CSI "A", "Help two"), Drawn("Help two", 3), Send("x")})},
    {.Name = "UnboundDigitChoosesNothing", .Files = Menu,
     .Steps = AtMenu({Press("1", "Help one"), Send("6"), Idle(), Send(CSI "A"), Idle(), Drawn("Help one", 1),
                      Press("2", "Help two"), Send("X")})},
    {.Name = "AltNShowsF1", .Files = Menu, .Steps = AtMenu({Press("2", "Help two"), Press(ESC "n", "Help one"), Send("x")})},
    {.Name = "KeyWhileAKeyIsHandledEnds", .Files = Menu, .Steps = AtMenu({Send("12"), Row(0, "Help one")})},
    // Esc is a key of its own once nothing follows it for a while: it shows the choice again.
    {.Name = "EscAloneIsAKey", .Files = Menu,
     .Steps = AtMenu({Press("1", "Help one"), Send(ESC), Sent("Help one", 2), Idle(), Send("x")})},
    {.Name = "CtrlCInterrupts", .Files = Menu, .Steps = AtMenu({Send("\x03")}), .Signal = SIGINT},
    {.Name = "NoDisplayLine", .Files = {File("isolinux.cfg", "F1 one.txt"), File("one.txt", "Help one")},
     .Steps = {Shows("It names no splash screen: it has no display line."), Idle(), Press("1", "Help one"), Send("x")}},
    {.Name = "SampleMedium",
     .Steps = {Shows("Harbour Linux 3.1"), Idle(), Press("1", " Help: using this medium  (F1)"),
               Press("3", "File help3.txt not found"), Press("0", " Licence  (F10)"), Send("x")},
     .Directory = VESTALO_SOURCE_DIR "/samples/bootcd"},
    // Keys from a file: no question to the terminal, whose answer would reach the shell.
    {.Name = "KeysEndWithTheirInput", .Files = Menu + Medium{File("typed", "1")},
     .Steps = {Shows("Help one"), Drawn(CSI "?u", 0)}, .Input = "typed"},
    {.Name = "KittyKeysAreReleases", .Files = Menu,
     .Steps = AtMenu({Sent(CSI ">15u"), Send(CSI "49u" CSI "49;1:2u"), Idle(), Row(0, "Splash screen"),
                      Send(CSI "49;1:3u"), Row(0, "Help one"), Idle(), Send(CSI "57441;2u" CSI "49:33;2u" CSI "49:33;2:3u"),
                      Idle(), Drawn("Help one", 2), Send(CSI "57441;1:3u"), Idle(), Drawn("Help one", 2), Send(Tap('x'))}),
     .Kitty = true},
    // A terminal that answers no query: the splash is drawn before the query, keys work at
    // once, and a screen that waits only for Enter sends none.
    {.Name = "SilentTerminal", .Files = Menu,
     .Steps = AtMenu({Before("Splash screen", CSI "?u"), Press("1", "Help one"), Send("x")}), .Silent = true},
    {.Name = "SilentTerminalAtTheEnterWait", .Files = Menu, .Arguments = {"one.txt"},
     .Steps = {Shows("Help one"), Idle(), Drawn(CSI "?u", 0), Send("\r")}, .Silent = true},
    // The answer comes after a key and in pieces: the key counts, the answer does not.
    {.Name = "KittyAnswerAfterAKeyInPieces", .Files = Menu,
     .Steps = AtMenu({Sent(CSI "?u"), Press("1", "Help one"), Send(CSI "?"), Idle(), Send("0u"), Sent(CSI ">15u"), Idle(),
                      Drawn("Help one", 1), Send(Tap('2')), Row(0, "Help two"), Idle(), Send(Tap('x'))}),
     .Silent = true},
    // Keys come with the answer: a key before it still counts, the answer alone does not.
    {.Name = "KeyBeforeTheAnswerEnds", .Files = Menu,
     .Steps = AtMenu({Sent(CSI "?u"), Send("12" CSI "?0u"), Row(0, "Help one")}), .Silent = true},
    {.Name = "AnswerAfterAKeyIsNoKey", .Files = Menu,
     .Steps = AtMenu({Sent(CSI "?u"), Send("1" CSI "?0u"), Row(0, "Help one"), Sent(CSI ">15u"), Alive(300), Send(Tap('x'))}),
     .Silent = true},
    // Saved by rename: the shown screen is drawn again; a changed configuration binds anew.
    {.Name = "WatchedMenu", .Files = Menu, .Arguments = {"--watch"},
     .Steps = AtMenu({Save("splash.txt", "New splash"), Row(0, "New splash"), Idle(),
                      Save("isolinux.cfg", "display splash.txt\nF1 two.txt\n"), Idle(), Press("1", "Help two"), Send("x")})},
    {.Name = "WatchedScreenFile", .Files = Menu, .Arguments = {"--watch", "one.txt"},
     .Steps = {Shows("Help one"), Idle(), Save("one.txt", "Help again"), Row(0, "Help again"), Idle(), Send("\r")}},
    // A file away for a moment, as some editors save: nothing is read until it is back.
    {.Name = "WatchedScreenFileAwayAMoment", .Files = Menu, .Arguments = {"--watch", "one.txt"},
     .Steps = {Shows("Help one"), Idle(), Remove("one.txt"), Alive(500), Save("one.txt", "Help again"), Row(0, "Help again"),
               Idle(), Send("\r")}},
    {.Name = "WatchedConfigurationAwayAMoment", .Files = Menu, .Arguments = {"--watch"},
     .Steps = AtMenu({Remove("isolinux.cfg"), Alive(500), Save("isolinux.cfg", "display splash.txt\nF1 two.txt\n"),
                      Sent("Splash screen", 2), Press("1", "Help two"), Send("x")})},
    // A configuration saved that cannot be read now: the menu goes on with the last one.
    {.Name = "WatchedConfigurationUnreadable", .Files = Menu + Medium{Sparse("big.cfg", (64u << 20) + 1)},
     .Arguments = {"--watch"},
     .Steps = AtMenu({Save("isolinux.cfg", "display splash.txt\nF1 two.txt\ninclude big.cfg\n"), Alive(300),
                      Press("1", "Help one"), Send("x")})},
    // The image gone while the menu runs: a file not read at the start is not found.
    {.Name = "ImageGoneWhileShown",
     .Files = {File("m/isolinux.cfg", "display s.txt\nF1 /other/h.txt\n"), File("m/s.txt", "Splash screen"),
               File("m/other/h.txt", "Help"), Image("m.iso", "m", "-R")},
     .Arguments = {"m.iso"}, .Steps = AtMenu({Remove("m.iso"), Send("1"), Shows("File not found.")}), .Exit = 1},
    {.Name = "KittyCtrlCInterrupts", .Files = Menu,
     .Steps = AtMenu({Sent(CSI ">15u"), Send(CSI "57442;5u" CSI "99;5u")}), .Signal = SIGINT, .Kitty = true},
    // A stop hands the terminal back as it was; going on takes it again, protocol and modes.
    {.Name = "StopAndContinue", .Files = Menu,
     .Steps = AtMenu({Sent(CSI ">15u"), Signal(SIGTSTP), Sent(CSI "<u"), Signal(SIGCONT), Sent(CSI ">15u", 2),
                      Sent("Splash screen", 2), Modes(true), Idle(), Send(Tap('1')), Row(0, "Help one"), Idle(),
                      Send(Tap('x'))}),
     .Kitty = true},
    {.Name = "StopAtTheEnterWaitGoesOn", .Files = Menu, .Arguments = {"one.txt"},
     .Steps = {Shows("Help one"), Idle(), Signal(SIGTSTP), Sent(CSI "0m"), Sent("Help one", 2), Idle(), Send("\r")}},
    {.Name = "HangUpAtTheEnterWaitEndsIt", .Files = Menu, .Arguments = {"one.txt"},
     .Steps = {Shows("Help one"), Idle(), HangUp()}, .Controlling = false},
    {.Name = "HangUpSignalAtTheMenu", .Files = Menu, .Steps = AtMenu({Signal(SIGHUP)}), .Signal = SIGHUP},
    // A screen long enough that drawing still goes on when the signal comes.
    {.Name = "TermWhileDrawing", .Files = {Repeated("huge.txt", "\x0f" "1e" + std::string(70, '\xb1') + "\r\n", 1u << 20)},
     .Arguments = {"huge.txt"},
     .Steps = {Sent("▒▒", 10000), Signal(SIGTERM)}, .Signal = SIGTERM, .WholeOutput = false},
    {.Name = "NoConfigurationWaitsForEnter",
     .Steps = {Row(0, "no valid configuration file found"), Idle(), Send("\r")}},
    {.Name = "OutOfMemoryInTheMenu", .Files = Menu + Medium{Sparse("one.txt", 60'000'000)},
     .Steps = AtMenu({Send("1"), Shows("Out of memory.")}), .Exit = 1, .MemoryLimitMb = 58},
    {.Name = "ReportAfterAScreen", .Files = Menu,
     .Steps = AtMenu({Send("5"), Shows("File not found."), Cell(1, 0, -1, -1)}), .Exit = 1},
    {.Name = "LargerTerminalScrollsOnlyTheFrame", .Files = {File("s.txt", ThirtyRowsAndALongLine())},
     .Arguments = {"s.txt"},
     .Steps = {Row(24, "xxxxx"), Row(0, "row 07"), Row(22, "row 29"), Row(23, std::string(80, 'x')), Row(25, ""),
               Row(29, ""), Send("\r")},
     .Rows = 30, .Columns = 100},
    // Only the frame takes the screen's colours, also as it scrolls; the rest stays as it was.
    {.Name = "LargerTerminalKeepsItsColoursOutsideTheFrame", .Files = {File("s.txt", "\x0f" "1e" + ThirtyRowsAndALongLine())},
     .Arguments = {"s.txt"},
     .Steps = {Row(0, "row 07"), Cell(0, 0, Yellow, Blue), Cell(24, 79, Any, Blue), Cell(0, 80, -1, -1), Cell(24, 99, -1, -1),
               Cell(25, 0, -1, -1), Cell(29, 99, -1, -1), Send("\r")},
     .Rows = 30, .Columns = 100},
    {.Name = "SmallerTerminalLaysOutItself", .Files = {File("s.txt", "\x0c" + std::string(80, 'x') + "\r\nnext")},
     .Arguments = {"s.txt"},
     .Steps = {Row(2, "next"), Row(0, std::string(79, 'x')), Row(1, "x"), Send("\r"),
               Sent("vestalo: the terminal was 79x24, smaller than the boot screen's 80x25: 1 row and 1 column of it "
                    "could not show as on the boot screen; resize the terminal to 80x25 or more to see it whole")},
     .Rows = 24, .Columns = 79},
    // Bytes that would drive a terminal show as the PC's glyphs, in the colours of the clear.
    {.Name = "HostileBytesShowAsGlyphs",
     .Files = {File("h.txt", "A" ESC "]0;owned\x07" "B" CSI "2J\x9b" "31mC\x01\x7f\x0e\x90\x9d")}, .Arguments = {"h.txt"},
     .Steps = {Row(0, "A←]0;ownedB←[2J¢31mC☺⌂♫É¥"), Cell(0, 0, 7, 0), Cell(24, 79, Any, 0), Idle(), Send("\r")}},
    {.Name = "HostileBytesInAnEightBitTerminal", .Files = {File("h.txt", "A" ESC "]0;x\x07" CSI "2J\x9b" "1\x7f")},
     .Arguments = {"h.txt"}, .Steps = {Row(0, "A?]0;x?[2J?1?"), Idle(), Send("\r")}, .Locale = "C"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Program, TerminalScript, ::testing::ValuesIn(Scripts), RowName());

}  // namespace
}  // namespace vestalo::testing
