// The boot menu in a terminal, as a person meets it: the first screen, keys, what would run
// where the loader would boot, a configuration a menu entry opens, the loader's prompt,
// the countdown running live, and the menu left out with --no-menu.
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

const std::string Cases = "tests/menu/cases/";
Medium Case(const std::string& name) { return {Copy("m", Cases + name)}; }

// vesamenu.c32's menu in opaque colours, so its cells' colours are the configuration's own.
const Medium Graphical = {File("m/isolinux.cfg",
                               "UI vesamenu.c32\nMENU BACKGROUND #ff000080\n"
                               "MENU COLOR title 0 #ffffff00 #ff008000 none\n"
                               "MENU COLOR sel 0 #ffffffff #ff800000 none\n"
                               "MENU TITLE Harbour\nLABEL one\n  MENU LABEL One\n  KERNEL one\n")};
constexpr int Yellow = 0xFFFF00, Green = 0x008000, White = 0xFFFFFF, Maroon = 0x800000;

// clang-format off
const ScriptRow Scripts[] = {
    {.Name = "MenuIsTheFirstScreenAndItsKeysMoveIn", .Files = Case("07-submenus"),
     .Steps = {Row(1, "          │                         Top menu                         │"), Idle(), Send(CSI "B"),
               Idle(), Send("\r"), Shows("Tools submenu"), Idle(), Send(ESC), Shows("Top menu"), Idle(),
               Send("\x03")},
     .Signal = SIGINT, .Directory = "m"},
    // Where the loader would boot: what would run, and any key returns to the menu.
    {.Name = "EnterShowsWhatWouldRun", .Files = Case("07-submenus"),
     .Steps = {Shows("Top menu"), Idle(), Send("\r"), Row(0, "Here the boot loader would boot; Vestalo shows what would run."),
               Row(3, "  the kernel    k"), Row(4, "  on the medium: k"), Idle(), Send("a"), Shows("Top menu"), Idle(), Send("\x03")},
     .Signal = SIGINT, .Directory = "m"},
    // Esc at the top: the loader's prompt under the menu, where the help keys work; x ends.
    {.Name = "EscLeavesTheBootPromptWithItsHelpKeys", .Files = Case("26-fkeys"),
     .Steps = {Shows("F-keys"), Idle(), Send(ESC), Row(23, "boot:"), Shows("F-keys"), Idle(), Send("2"), Shows("F2"), Idle(),
               Send("x")}, .Directory = "m"},
    // A digit that is no hotkey stands in for its function key, as in the help-key menu.
    {.Name = "DigitsStandInForFunctionKeys", .Files = Case("26-fkeys"),
     .Steps = {Shows("F-keys"), Idle(), Send("1"), Row(0, "F1 help in 1e plain 07 code 4f code 70 code 0a code 8c code f1"),
               Idle(), Send("x"), Shows("F-keys"), Idle(), Send("\x03")},
     .Signal = SIGINT, .Directory = "m"},
    // CONFIG opens the configuration: its splash screen and the help-key menu.
    {.Name = "ConfigEntryOpensItsSplash", .Files = Case("31-config-display"),
     .Steps = {Shows("Menu before the prompt"), Idle(), Send("s"), Idle(), Send("\r"), Row(0, "Harbour splash from prompt.cfg"),
               Idle(), Send("1"), Row(0, "F1 of prompt.cfg"), Idle(), Send("x")}, .Directory = "m"},
    {.Name = "CountdownRunsLive", .Files = Case("17-countdown"),
     .Steps = {Shows("Starting Harbour in 10 seconds from now"), Shows("Starting Harbour in 9 seconds from now"), Send(CSI "B"),
               Idle(), Send("\x03")},
     .Signal = SIGINT, .Directory = "m"},
    {.Name = "NoMenuKeepsTheSplashPath", .Files = Case("31-config-display"), .Arguments = {"--no-menu", "-c", "prompt.cfg"},
     .Steps = {Row(0, "Harbour splash from prompt.cfg"), Idle(), Send("x")}, .Directory = "m"},
    // The graphical menu's grid (80x30 at 640x480) in its 24-bit colours; Esc leaves it for the
    // loader's text screen and prompt.
    {.Name = "GraphicalMenuInTrueColour", .Files = Graphical,
     .Steps = {Shows("Harbour"), Idle(), Rgb(1, 40, Yellow, Green), Rgb(3, 12, White, Maroon), Send(ESC),
               Shows("boot:"), Idle(), Send("x")},
     .Rows = 30, .Silent = true, .Directory = "m", .Environment = {"COLORTERM=truecolor"}},
    // A terminal that draws kitty pictures gets the screen as one, taken off as the menu is left.
    {.Name = "GraphicalMenuAsKittyPicture", .Files = Graphical,
     .Steps = {Shows("Harbour"), Sent(ESC "_Ga=T,f=100,"), Idle(), Send(ESC), Sent(ESC "_Ga=d"), Shows("boot:"),
               Idle(), Send("x")},
     .Rows = 30, .Directory = "m", .KittyGraphics = true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(BootMenu, TerminalScript, ::testing::ValuesIn(Scripts), RowName());

}  // namespace
}  // namespace vestalo::testing
