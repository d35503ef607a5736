// Boot media end to end: the fidelity suite's medium whose help keys lie behind include lines
// and a `config` label, read from a disc's root, a folder argument and ISO images that xorriso
// makes here, each screen checked against the boot loader's own; the notice of a configuration
// without a display line; a locked folder; damaged images.
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

// The medium as it lies on a disc: its files in isolinux/ below the root.
const Medium Disc = {Copy("disc/isolinux", "tests/fidelity/include-medium")};
Medium DiscImage(const std::string& options) {
  return Disc + Medium{Image("kestrel.iso", "disc", options)};
}

const std::vector<Step> MenuScreens = {Golden("medium-include"),     Idle(), Send("1"),
                                       Golden("medium-include-f1"),  Idle(), Send("2"),
                                       Golden("medium-include-f2"),  Idle(), Send("0"),
                                       Golden("medium-include-f10"), Idle(), Send("x")};
const std::vector<Step> PromptScreens = {Golden("medium-include-config-ret"), Idle(), Send("1"),
                                         Golden("medium-include-config-f1"),  Idle(), Send("x")};
const std::string Hybrid =
    "-R -J -isohybrid-mbr /usr/lib/ISOLINUX/isohdpfx.bin -b isolinux/help1.txt -no-emul-boot";

// clang-format off
const ScriptRow Elsewhere[] = {
    {.Name = "TheDiscsRoot", .Files = Disc, .Steps = MenuScreens, .Directory = "disc"},
    {.Name = "TheDiscsRootWithConfig", .Files = Disc, .Arguments = {"-c", "prompt.cfg"}, .Steps = PromptScreens,
     .Directory = "disc"},
    {.Name = "TheBootFolderAsArgument", .Files = Disc, .Arguments = {"disc/isolinux"}, .Steps = MenuScreens},
    {.Name = "RockRidgeAndJolietImage", .Files = DiscImage("-R -J"), .Arguments = {"kestrel.iso"}, .Steps = MenuScreens},
    {.Name = "RockRidgeImageWithConfig", .Files = DiscImage("-R -J"), .Arguments = {"-c", "prompt.cfg", "kestrel.iso"},
     .Steps = PromptScreens},
    // A path on this computer into the medium, as a shell completes it: taken as that file.
    {.Name = "ConfigByItsPathOnTheComputer", .Files = Disc,
     .Arguments = {"-c", MediumPath + "/disc/isolinux/prompt.cfg"}, .Steps = PromptScreens, .Directory = "disc/isolinux"},
    {.Name = "ConfigFromTheImagesRoot", .Files = DiscImage("-R"), .Arguments = {"-c", "/isolinux/prompt.cfg", "kestrel.iso"},
     .Steps = PromptScreens},
    {.Name = "UpperCaseIso9660Names", .Files = DiscImage("--norock"), .Arguments = {"kestrel.iso"}, .Steps = MenuScreens},
    {.Name = "UpperCaseIso9660NamesWithConfig", .Files = DiscImage("--norock"),
     .Arguments = {"--config", "prompt.cfg", "kestrel.iso"}, .Steps = PromptScreens},
    {.Name = "HybridImage", .Files = DiscImage(Hybrid), .Arguments = {"kestrel.iso"}, .Steps = MenuScreens},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Media, TerminalScript, ::testing::ValuesIn(Elsewhere), RowName());

// A real image, damaged: cut, or with a field of both root folder records (those of the plain
// names' and of Joliet's volume descriptor, sectors 16 and 17) overwritten: the folder's
// sector at 2, its size at 10.
Medium Damaged(int64_t cutTo) {
  return DiscImage("-R -J -no-pad") + Medium{Patch("kestrel.iso", cutTo)};
}
Medium Damaged(int field, std::string bytes) {
  return DiscImage("-R -J -no-pad") + Medium{Patch("kestrel.iso", 16 * 2048 + 156 + field, bytes),
                                             Patch("kestrel.iso", 17 * 2048 + 156 + field, bytes)};
}
const std::string DamagedReport = "Damaged or truncated ISO image: *";

// A configuration that includes `count` empty files, c1.cfg and on.
Medium ManyIncludes(int count) {
  Medium files{File("isolinux.cfg", "")};
  for (int i = 1; i <= count; ++i) {
    // Appended piece by piece: GCC 12 sees an overlap that is not there in "c" + a string.
    std::string name = "c";
    name += std::to_string(i);
    name += ".cfg";
    files[0].Bytes += "include " + name + "\n";
    files.push_back(File(name, ""));
  }
  return files;
}

// clang-format off
const RunRow Runs[] = {
    // The menu module's configuration, without its menu: its notice.
    {.Name = "NoticeOfAConfigurationWithoutDisplay",
     .Files = {File("isolinux/isolinux.cfg", "default vesamenu.c32\nF1 f1.txt\ninclude menu.cfg\nF10 f10.txt\n"),
               File("isolinux/menu.cfg", "label help\n  text help\n   Display help\n  endtext\n  config prompt.cfg\n"
                                         "label again\n  config prompt.cfg\nlabel expert\n  CONFIG /boot/expert.cfg\nF2 f2.txt\n"),
               File("isolinux/f1.txt", "1"), File("isolinux/f2.txt", "2"), File("isolinux/f10.txt", "0"),
               File("isolinux/prompt.cfg", ""), File("boot/expert.cfg", "")},
     .Arguments = {"--no-menu"},
     .Output = "Vestalo read this configuration and the file it includes:\r\n"
               "  isolinux/isolinux.cfg\r\n"
               "  isolinux/menu.cfg\r\n"
               "It names no splash screen: it has no display line.\r\n"
               "\r\n"
               "Help screens: press 1, 2 or 0 (its F1, F2 and F10 lines).\r\n"
               "\r\n"
               "Its menu opens other configurations; to see their screens, run:\r\n"
               "  vestalo -c prompt.cfg                  (label help)\r\n"
               "  vestalo -c /boot/expert.cfg            (label expert)\r\n"
               "\r\n"
               "Press x to end.\r\n"},
    {.Name = "NoticeOfManyIncludedFiles", .Files = ManyIncludes(30),
     .OutputHas = "  c16.cfg\r\n  ... and 14 more.\r\nIt names no splash screen"},
    {.Name = "NoticeOfAnEmptyDisplayLine", .Files = {File("isolinux.cfg", "display\n")},
     .OutputHas = "It names no splash screen: its display line is empty.\r\n"},
    // 80 characters would wrap the frame's row: the command stays whole, the label is left out.
    {.Name = "NoticeLinesFitTheFrame", .Files = {File("isolinux.cfg", "label l\n config " + std::string(57, 'c') + "\n"),
                                                 File(std::string(57, 'c'), "")},
     .OutputHas = "  vestalo -c " + std::string(57, 'c') + "\r\n"},
    {.Name = "ImageBootFolderBeforeItsRoot",
     .Files = {File("m/isolinux.cfg", "display r.txt\n"), File("m/isolinux/isolinux.cfg", "display i.txt\n"),
               File("m/isolinux/i.txt", "Boot folder"), Image("m.iso", "m", "-R")},
     .Arguments = {"m.iso"}, .Output = "Boot folder"},
    {.Name = "ImageLinkLoop",
     .Files = {File("m/isolinux.cfg", "display a\n"), Link("m/a", "b"), Link("m/b", "a"), Image("m.iso", "m", "-R")},
     .Arguments = {"m.iso"}, .Output = "File a not found\r\n"},
    {.Name = "LockedFolder", .Files = {LockedFolder("locked")}, .Arguments = {"locked"}, .Exit = 1,
     .Report = "File access denied"},
    {.Name = "ImageCutAfterItsVolumeDescriptors", .Files = Damaged(19 * 2048), .Arguments = {"-c", "prompt.cfg", "kestrel.iso"},
     .Exit = 1, .Report = DamagedReport},
    {.Name = "ImageCutBeforeItsLastFile", .Files = Damaged(-2048), .Arguments = {"-c", "prompt.cfg", "kestrel.iso"}, .Exit = 1,
     .Report = DamagedReport},
    {.Name = "ImageRootFolderBeyondItsEnd", .Files = Damaged(2, "\xff\xff\xff\x0f\x0f\xff\xff\xff"),
     .Arguments = {"-c", "prompt.cfg", "kestrel.iso"}, .Exit = 1, .Report = DamagedReport},
    {.Name = "ImageRootFolderOfTwoGigabytes", .Files = Damaged(10, "\xff\xff\xff\x7f\x7f\xff\xff\xff"),
     .Arguments = {"-c", "prompt.cfg", "kestrel.iso"}, .Exit = 1, .Report = DamagedReport},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Media, RedirectedRun, ::testing::ValuesIn(Runs), RowName());

}  // namespace
}  // namespace vestalo::testing
