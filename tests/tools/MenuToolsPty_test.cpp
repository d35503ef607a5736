// --snapshot, --snapshot --keys and --check on media that start a boot menu, and the notice
// of a configuration without a splash screen: menus and tours against the boot loader's own
// screens (tests/menu/golden), findings and notices as written by hand.
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

using Masks = std::vector<std::pair<std::string, std::vector<int>>>;

// A tour of a case of the menu suite: one step a key list ("down+down" presses both), each
// screen against the loader's dump of the same name (rows, columns and counts masked).
RunRow Tour(const char* name, const std::string& suiteCase, const std::vector<std::string>& steps,
            const Masks& masks = {}, std::string outputHas = "") {
  RunRow row{.Name = name, .Files = {Copy("m", "tests/menu/cases/" + suiteCase)}};
  std::string keys;
  std::vector<std::string> stems{"00-boot"};
  for (const auto& step : steps) {
    keys += (keys.empty() ? "" : ",") + step;
    std::string stem = (stems.size() < 10 ? "0" : "") + std::to_string(stems.size()) + "-" + step;
    for (char& c : stem.replace(0, 3, stem.substr(0, 3)))
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    stems.push_back(stem);
  }
  row.Arguments = {"--snapshot", "out", "--keys", keys, "m"};
  for (const auto& stem : stems) {
    std::vector<int> masked;
    for (const auto& [step, cells] : masks)
      if (step == stem) masked = cells;
    row.Snapshots.push_back({"out/" + stem, "tests/menu/golden/" + suiteCase + "/" + stem, masked});
  }
  row.OutputHas = std::move(outputHas);
  return row;
}

// clang-format off
const RunRow Tours[] = {
    Tour("TourOfSubmenus", "07-submenus", {"down", "ret", "down", "ret", "down", "ret", "esc", "g", "ret", "esc", "end", "ret"}),
    Tour("TourOfHotkeys", "06-entries", {"b", "b", "c", "shift-e", "r", "up", "up", "up", "home"}),
    Tour("TourOfTypedText", "28-cmdline-edit", {"tab", "text:ab", "left", "left", "home", "delete", "end", "backspace", "ctrl-w", "ctrl-u"}),
    Tour("TourOfTheCountdown", "17-countdown", {"wait:1.5", "down", "up"},
         {{"00-boot", {18, 0, 80}}, {"01-wait_1_5", {18, 0, 80}}}),
    Tour("TourOfFunctionKeys", "26-fkeys", {"f1", "f2", "f12", "down", "f3", "down", "f1", "esc"}),
    Tour("TourOfTheEditor", "29-cmdline-keys",
         {"tab", "left+left+left+left+left+left", "ctrl-k", "esc", "down", "tab", "ctrl-a", "ctrl-e", "ret"}),
    Tour("TourIntoAnotherMenu", "30-config-menu", {"ret", "down", "up", "ret"}),
    Tour("TourOfAMissingKernel", "33-boot-missing", {"ret", "down", "esc"}, {},
         "01-ret: would boot vmlinuz quiet (missing: vmlinuz)\n"),
    // The default runs at once: another configuration's splash, below which the loader's prompt stands.
    Tour("TourOfShiftKey", "21-shiftkey", {"down"}, {{"00-boot", {1, 0, 80}}, {"01-down", {1, 0, 80}}},
         "00-boot: opens the configuration after.cfg\n"),
    Tour("TourOfTheTotalTimeout", "19-totaltimeout", {"down", "wait:8"}, {{"00-boot", {19, 0, 80}}, {"02-wait_8", {1, 0, 80}}},
         "02-wait_8: opens the configuration after.cfg\n"),
    Tour("TourOfMenuHelp", "10-include-help", {"down", "down", "ret", "esc", "end", "ret", "x"}),
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(MenuTours, RedirectedRun, ::testing::ValuesIn(Tours), RowName());

// clang-format off
// Every fault of a menu that --check finds, one each, at the place of its directive.
const Medium FaultyMenu = {
    File("isolinux.cfg", "UI menu.c32\n"                            // 1: the module is missing
                         "MENU TITLE Hafen \xC3\x9C" "ber\n"        // 2: UTF-8
                         "MENU ROWS 3\n"                            // 3: four entries scroll
                         "F11 gone11.txt\n"                         // 4
                         "MENU INCLUDE nothere.cfg\n"               // 5
                         "LABEL a\n  MENU LABEL ^Alpha\n  KERNEL vmlinuz\n  INITRD initrd.gz\n"  // 6-9
                         "LABEL b\n  MENU LABEL ^also alpha\n  CONFIG other.cfg\n"               // 10-12
                         "LABEL c\n  MENU LABEL A label of sixty-one bytes, which the menu cuts at fifty-six.\n"
                         "  MENU GOTO nowhere\n"                    // 13-15
                         "LABEL d\n  MENU HELP help.txt\n")};       // 16-17
// The same menu without its faults: nothing to tell.
const Medium SoundMenu = {
    File("isolinux.cfg", "UI menu.c32\nMENU TITLE Harbour\nF11 f11.txt\nMENU INCLUDE more.cfg\n"
                         "LABEL a\n  MENU LABEL ^Alpha\n  KERNEL vmlinuz\n  INITRD initrd.gz\n"
                         "LABEL b\n  MENU LABEL ^Bravo\n  CONFIG other.cfg\n"
                         "LABEL c\n  MENU LABEL A label of fifty-six bytes, which the menu shows whole.\n"
                         "  MENU GOTO tools\n"
                         "MENU BEGIN tools\n  MENU TITLE Tools\n  LABEL d\n  MENU HELP help.txt\nMENU END\n"),
    File("menu.c32", ""), File("f11.txt", "\fF11\r\n"), File("more.cfg", ""), File("vmlinuz", ""),
    File("initrd.gz", ""), File("other.cfg", ""), File("help.txt", "\fHelp\r\n")};
// clang-format on

const std::string Written = ".txt, out/%.ans, out/%.html, out/%.png\n";
std::string Wrote(const std::string& said, const std::string& stem) {
  std::string files = Written;
  for (size_t at = files.find('%'); at != std::string::npos; at = files.find('%'))
    files.replace(at, 1, stem);
  return said + ": out/" + stem + files;
}

// clang-format off
// A configuration without a display line: its notice lists only what is there.
const Medium NoSplash = {File("isolinux.cfg", "F1 f1.txt\nF3 gone3.txt\nlabel a\n config here.cfg\nlabel b\n config gone.cfg\n"),
                         File("f1.txt", "\fOne\r\n"), File("here.cfg", "")};
const std::string NoSplashNotice =
    "Vestalo read this configuration, which includes no other file:\r\n  isolinux.cfg\r\n"
    "It names no splash screen: it has no display line.\r\n\r\n"
    "Help screens: press 1 (its F1 line).\r\nMissing help files: F3 gone3.txt.\r\n\r\n"
    "Its menu opens other configurations; to see their screens, run:\r\n"
    "  vestalo -c here.cfg                    (label a)\r\n"
    "Its menu opens configurations missing here: gone.cfg (label b).\r\n\r\nPress x to end.\r\n";
const Medium HelpKeys = {File("isolinux.cfg", "display s.txt\nF1 h.txt\nF2 gone.txt\n"), File("s.txt", "\fS\r\n"),
                         File("h.txt", "\fH\r\n")};
const RunRow Runs[] = {
    {.Name = "CheckFaultyMenu", .Files = FaultyMenu, .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg:5:14: error: include file nothere.cfg is missing\n"
               "isolinux.cfg:1:4: error: menu module menu.c32 is missing: the boot loader says \"Failed to load COM32 file menu.c32\" "
               "and shows its boot: prompt\n"
               "isolinux.cfg:4:5: error: F11 file gone11.txt is missing\n"
               "isolinux.cfg:2:18: warning: title \"Hafen \xC3\x9C" "ber\" looks like UTF-8; the menu shows code page 437: \"Hafen \u251C\u00A3ber\"\n"
               "isolinux.cfg:8:10: error: kernel file vmlinuz is missing\n"
               "isolinux.cfg:9:10: error: initrd file initrd.gz is missing\n"
               "isolinux.cfg:12:10: error: config file other.cfg is missing\n"
               "isolinux.cfg:14:14: warning: label \"A label of sixty-one bytes, which the menu cuts at fifty-six.\" is 61 bytes long; "
               "the menu cuts it to 56 bytes: \"A label of sixty-one bytes, which the menu cuts at fifty\"\n"
               "isolinux.cfg:15:13: warning: MENU GOTO names the menu nowhere, which no MENU BEGIN or MENU INCLUDE tags; the entry does nothing\n"
               "isolinux.cfg:17:13: error: MENU HELP file help.txt is missing\n"
               "isolinux.cfg:11:14: warning: hotkey a of \"also alpha\" is already \"Alpha\"'s (line 7): this entry has no hotkey\n"
               "isolinux.cfg:16:1: warning: the menu has 4 entries for its 3 rows: it scrolls, with a scroll bar, and this entry is the first below them\n"},
    {.Name = "CheckSoundMenu", .Files = SoundMenu, .Arguments = {"--check"}, .Output = ""},
    // --no-menu: the menu's own faults are not looked for.
    {.Name = "CheckWithoutMenu", .Files = FaultyMenu, .Arguments = {"--check", "--no-menu"}, .Exit = 2,
     .Output = "isolinux.cfg:5:14: error: include file nothere.cfg is missing\n"},
    // The display file that is also the F1 file is checked as both: as a help file it has no ^L.
    {.Name = "CheckEveryRoleOfAFile", .Files = {File("isolinux.cfg", "display s.txt\nF1 s.txt\n"), File("s.txt", "Splash\r\n")},
     .Arguments = {"--check"}, .Exit = 2,
     .Output = "s.txt:1:1: warning: help text starts before any ^L: the boot loader draws it below its prompt, on what the screen shows\n"},
    {.Name = "CheckNamesTheOtherConfiguration", .Files = {File("isolinux.cfg", "display s.txt\n"), File("syslinux.cfg", "display s.txt\n"),
                                                          File("s.txt", "\fS\r\n")},
     .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg: warning: not checked: this check read syslinux.cfg, which SYSLINUX reads on a disk or USB stick; "
               "ISOLINUX on a CD reads isolinux.cfg (vestalo -c isolinux.cfg shows it, and vestalo --check -c isolinux.cfg checks it)\n"},
    {.Name = "SnapshotOfEveryMenu", .Files = {Copy("m", "tests/menu/cases/07-submenus")}, .Arguments = {"--snapshot", "out", "m"},
     .Output = Wrote("menu (m/isolinux.cfg)", "menu") + Wrote("menu tools (m/isolinux.cfg)", "menu-tools") +
               Wrote("menu 2 (m/isolinux.cfg)", "menu-2"),
     .Snapshots = {{"out/menu", "tests/menu/golden/07-submenus/00-boot"}, {"out/menu-tools", "tests/menu/golden/07-submenus/02-ret"},
                   {"out/menu-2", "tests/menu/golden/07-submenus/06-ret"}}},
    {.Name = "SnapshotWithoutTheMenu", .Files = {Copy("m", "tests/menu/cases/07-submenus")},
     .Arguments = {"--snapshot", "out", "--no-menu", "m"}, .Output = Wrote("notice (m/isolinux.cfg has no splash screen)", "notice")},
    {.Name = "SnapshotOfTheNotice", .Files = NoSplash, .Arguments = {"--snapshot", "out"}, .Exit = 2,
     .Output = Wrote("notice (isolinux.cfg has no splash screen)", "notice") + Wrote("f1.txt", "f1"),
     .Errors = "isolinux.cfg:2:4: error: F3 file gone3.txt is missing; it has no snapshot\n"},
    {.Name = "NoticeListsWhatIsThere", .Files = NoSplash, .Output = NoSplashNotice},
    {.Name = "TourWithAnUnknownKey", .Files = HelpKeys, .Arguments = {"--snapshot", "out", "--keys", "down,dwon"}, .Exit = 1,
     .Output = "", .NotMade = {"out"},
     .Errors = "vestalo: nothing written: --keys names an unknown key \"dwon\"; keys are named as QEMU names them "
               "(down, tab, ret, f1, a, shift-a, ctrl-p, down+down, text:abc, wait:1.5)\n"},
    // Without a menu the keys drive the help-key menu: a missing file is told, x ends it.
    {.Name = "TourOfTheHelpKeys", .Files = HelpKeys, .Arguments = {"--snapshot", "out", "--keys", "1,f2,x,1"},
     .Output = Wrote("00-boot", "00-boot") + Wrote("01-1", "01-1") + Wrote("02-f2", "02-f2") + Wrote("03-x", "03-x") +
               "03-x: x ends the help-key menu: the tour ends here\n",
     .NotMade = {"out/04-1.txt"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(MenuTools, RedirectedRun, ::testing::ValuesIn(Runs), RowName());

}  // namespace
}  // namespace vestalo::testing
