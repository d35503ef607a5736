// --check and --snapshot run as a user runs them: exit codes, the lines printed, and what a
// snapshot run writes or refuses to write; the medium's files stay as they were.
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

const Medium Sound = {File("isolinux.cfg", "prompt 1\ndisplay s.txt\nF1 h.txt\n"),
                      File("s.txt", "\fSplash\r\n"), File("h.txt", "\fHelp\r\n")};
const Medium Faulty = {File("isolinux.cfg", "display s.txt\nF1 h.txt\nF2 gone.txt\n"),
                       File("s.txt", "\f" + std::string(83, 'a') + "\r\n"),
                       File("h.txt", "\fHelp\r\n")};
const std::string Refused =
    "vestalo: nothing written: the snapshot s.txt would replace s.txt of the boot medium; "
    "choose another folder\n";

// clang-format off
const RunRow Runs[] = {
    {.Name = "CheckSoundMedium", .Files = Sound, .Arguments = {"--check"}, .Output = ""},
    {.Name = "CheckFaultyMedium", .Files = Faulty, .Arguments = {"--check"}, .Exit = 2,
     .Output = "s.txt:1:82: warning: line is 83 columns wide; the boot screen wraps it\n"
               "isolinux.cfg:3:4: error: F2 file gone.txt is missing\n"},
    {.Name = "CheckWithoutConfiguration", .Files = {File("s.txt", "x")}, .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg: error: no configuration file: neither isolinux.cfg nor syslinux.cfg is there\n"},
    {.Name = "CheckIncludeLoop",
     .Files = {File("isolinux.cfg", "include a.cfg\n"), File("a.cfg", "display s.txt\ninclude isolinux.cfg\n"),
               File("s.txt", "\fS\r\n")},
     .Arguments = {"--check"}, .Exit = 2,
     .Output = "a.cfg:2:9: error: include file isolinux.cfg includes itself again; the boot loader stops responding on it\n"},
    // Started in the boot folder: a name from the root is found above it, one in the boot
    // folder is shown from there, whatever its letter case.
    {.Name = "CheckFromTheBootFolder",
     .Files = {File("isolinux/isolinux.cfg", "display /s.txt\nF1 /ISOLINUX/H.TXT\n"), File("s.txt", "\f" + std::string(83, 'a') + "\r\n"),
               File("isolinux/h.txt", "\fHelp\r\nend")},
     .Arguments = {"--check"}, .Directory = "isolinux", .Exit = 2,
     .Output = "../s.txt:1:82: warning: line is 83 columns wide; the boot screen wraps it\n"
               "h.txt:2:1: warning: last line has no line break: the boot loader's prompt takes its row\n"},
    // Files that cannot be read are findings; the check goes on past them.
    {.Name = "CheckUnreadableFiles",
     .Files = {File("isolinux.cfg", "display s.txt\nF1 h.txt\ninclude more.cfg\nF2 two.txt\n"), File("s.txt", "\fS\r\n"),
               Unreadable("h.txt", "\fHelp\r\n"), Unreadable("more.cfg", "F3 x\n"), File("two.txt", "\f" + std::string(83, 'a') + "\r\n")},
     .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg:3:9: error: include file more.cfg cannot be read: File access denied\n"
               "isolinux.cfg:2:4: error: F1 file h.txt cannot be read: File access denied\n"
               "two.txt:1:82: warning: line is 83 columns wide; the boot screen wraps it\n"},
    {.Name = "CheckMissingFile", .Arguments = {"--check", "none.txt"}, .Exit = 1, .Output = "", .Report = "File not found"},
    {.Name = "CheckSampleMedium", .Arguments = {"--check", VESTALO_SOURCE_DIR "/samples/bootcd"}, .Exit = 2,
     .Output = VESTALO_SOURCE_DIR "/samples/bootcd/isolinux.cfg:8:4: error: F3 file help3.txt is missing\n"},
    {.Name = "SnapshotOverTheMedium", .Files = Sound, .Arguments = {"--snapshot", "."}, .Exit = 1, .Output = "",
     .NotMade = {"s.ans", "h.png"}, .Errors = Refused},
    {.Name = "SnapshotWithAMissingHelpFile", .Files = Faulty, .Arguments = {"--snapshot", "out"}, .Exit = 2,
     .Output = "s.txt: out/s.txt, out/s.ans, out/s.html, out/s.png\nh.txt: out/h.txt, out/h.ans, out/h.html, out/h.png\n",
     .Made = {"out/s.png", "out/h.html"}, .NotMade = {"out/gone.txt"},
     .Errors = "isolinux.cfg:3:4: error: F2 file gone.txt is missing; it has no snapshot\n"},
    {.Name = "SnapshotsOfTheSameName",
     .Files = {File("isolinux.cfg", "display s.txt\nF1 help/s.txt\n"), File("s.txt", "\fS\r\n"), File("help/s.txt", "\fH\r\n")},
     .Arguments = {"--snapshot", "out"},
     .Output = "s.txt: out/s.txt, out/s.ans, out/s.html, out/s.png\n"
               "help/s.txt: out/s-2.txt, out/s-2.ans, out/s-2.html, out/s-2.png\n"},
    {.Name = "SnapshotOntoAFile", .Files = Sound + Medium{File("out", "x")}, .Arguments = {"--snapshot", "out"},
     .Exit = 1, .Output = "", .Errors = "vestalo: nothing written: out is no folder; name a folder for the snapshots\n"},
    {.Name = "SnapshotOfOneFileBesideIt", .Files = {File("s.txt", "\fS\r\n")}, .Arguments = {"--snapshot", ".", "s.txt"},
     .Exit = 1, .NotMade = {"s.png"}, .Errors = Refused},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Tools, RedirectedRun, ::testing::ValuesIn(Runs), RowName());

}  // namespace
}  // namespace vestalo::testing
