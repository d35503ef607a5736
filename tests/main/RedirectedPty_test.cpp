// The program with redirected standard streams: exact output bytes, exit code and report for
// each arrangement of files, arguments and streams.
#include <cerrno>

#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

const std::string Long(2000, 'A');  // more than one block of output, so writing fails midway
const Medium Screen = {File("screen.txt",
                            "\x0f"
                            "1e" +
                                Long),
                       File("isolinux.cfg", "display screen.txt\n")};
const Medium Menu = {
    File("isolinux.cfg", "display splash.txt\nF1 one.txt\nF2 two.txt\nF3 gone.txt\n"),
    File("splash.txt",
         "\x0f"
         "1eSplash"),
    File("one.txt", "One"), File("two.txt", "Two")};
const std::string Usage = "\r\nType \"vestalo --help\" for the usage.\r\n";
const std::string NoConfiguration = "no valid configuration file found\r\n" + HelpText;
const Medium Troubles = {File("screen.txt", "Screen"),
                         Folder("folder"),
                         Link("loop-a", "loop-b"),
                         Link("loop-b", "loop-a"),
                         Sparse("huge.txt", (64u << 20) + 1),
                         Fifo("keys")};
const Medium Locked = {Unreadable("locked.txt", "Secret")};  // the run is then unprivileged
std::string IOError(int error) { return "I/O error " + std::to_string(error); }
// Splash names that no file answers; each shows the not-found line and the menu goes on.
Medium Splash(const std::string& name) {
  return Troubles + Medium{File("isolinux.cfg", "display " + name + "\n")};
}

// clang-format off
const RunRow Runs[] = {
    {.Name = "HelpIsTheUsage", .Arguments = {"-help"}, .Output = HelpText},
    {.Name = "LongHelp", .Arguments = {"--help", "x.txt"}, .Output = HelpText},
    {.Name = "ShortHelp", .Arguments = {"-h"}, .Output = HelpText},
    // One line a fact, as other programs print their version; the first is the version alone.
    {.Name = "Version", .Arguments = {"--version"}, .OutputHas = "vestalo 1.2.0\nPNG snapshots: "},
    // The build installs libpng and libjpeg (scripts/deps.sh): every background format is read.
    {.Name = "VersionNamesBackgroundFormats", .Arguments = {"--version"},
     .OutputHas = "; menu backgrounds: PNG, JPEG, LSS16; terminal pictures: kitty, sixel\nISO images: "},
    {.Name = "ScreenBytesWithoutCodes",
     .Files = {File("screen.txt", std::string("\x0f" "1eA\x18img\nB\x19\x0c" "C\r\n\x1b\x11" "D\x10hid\x13" "E\x1aZ", 24))},
     .Arguments = {"screen.txt"}, .Output = "ABC\r\n\x1b" "DE"},
    {.Name = "EmptyFirstArgumentEndsTheList", .Arguments = {"", "-help"}, .Output = NoConfiguration},
    {.Name = "MissingFile", .Arguments = {"-HELP"}, .Exit = 1, .Output = "", .Report = "File not found"},
    {.Name = "UnknownLongOption", .Arguments = {"--foo", "x.txt"}, .Exit = 1, .Output = "",
     .Errors = "vestalo: unknown option --foo" + Usage},
    {.Name = "MissingFolder", .Arguments = {"no/missing.txt"}, .Exit = 1, .Report = "Invalid filename"},
    {.Name = "PathThroughAFile", .Files = Troubles, .Arguments = {"screen.txt/x"}, .Exit = 1, .Report = "Invalid filename"},
    {.Name = "Overlong", .Arguments = {std::string(296, 'n') + ".txt"}, .Exit = 1, .Report = "Invalid filename"},
    {.Name = "TooLarge", .Files = Troubles, .Arguments = {"huge.txt"}, .Exit = 1, .Output = "", .Report = "File too large"},
    {.Name = "Endless", .Arguments = {"/dev/zero"}, .Exit = 1, .Output = "", .Report = "File too large"},
    // A screen the program may read but cannot hold in the memory it may have.
    {.Name = "OutOfMemory", .Files = {Sparse("big.txt", 60'000'000)}, .Arguments = {"big.txt"}, .MemoryLimitMb = 58,
     .Exit = 1, .Output = "", .Report = "Out of memory"},
    {.Name = "Unreadable", .Files = Locked, .Arguments = {"locked.txt"}, .Exit = 1, .Report = "File access denied"},
    {.Name = "FolderWithoutConfiguration", .Files = Troubles, .Arguments = {"folder"}, .Output = NoConfiguration},
    {.Name = "FolderIsAMedium", .Files = {File("boot/isolinux.cfg", "display s.txt"), File("boot/s.txt", "S")},
     .Arguments = {"boot"}, .Output = "S"},
    {.Name = "OptionC", .Files = Menu + Medium{File("other.cfg", "display two.txt")}, .Arguments = {"-c", "other.cfg"},
     .Output = "Two"},
    {.Name = "OptionCWithAScreenFile", .Files = Troubles, .Arguments = {"-c", "x.cfg", "screen.txt"}, .Exit = 1,
     .Errors = "vestalo: -c works only with a boot medium: a folder or an ISO image" + Usage},
    {.Name = "OptionCFolder", .Files = Troubles, .Arguments = {"-c", "folder"}, .Exit = 1, .Report = "File access denied"},
    {.Name = "OptionCWithoutName", .Arguments = {"-c"}, .Exit = 1,
     .Errors = "vestalo: option -c needs a configuration file name" + Usage},
    {.Name = "SyslinuxWins", .Files = Menu + Medium{File("syslinux.cfg", "display two.txt")}, .Output = "Two"},
    {.Name = "NamesInAnyLetterCase",
     .Files = {File("ISOLINUX.CFG", "DISPLAY SPLASH.TXT\nF1 help/one.txt\n"), File("splash.txt", "splash "),
               File("HELP/ONE.TXT", "help")},
     .Input = "1", .Output = "splash help"},
    {.Name = "KeyForAMissingFile", .Files = Menu, .Input = "3", .Output = "SplashFile gone.txt not found\r\n"},
    {.Name = "SplashFolder", .Files = Splash("folder"), .Output = "File folder not found\r\n"},
    {.Name = "SplashFifo", .Files = Splash("keys"), .Output = "File keys not found\r\n"},
    {.Name = "SplashWildcard", .Files = Splash("scr*.txt"), .Exit = 1, .Output = "", .Report = "File not found"},
    {.Name = "ConfigurationTooLarge", .Files = {Sparse("isolinux.cfg", (64u << 20) + 1)}, .Exit = 1,
     .Report = "File too large"},
    // The limit holds for the configuration's files together, one read after another.
    {.Name = "ConfigurationFilesTooLargeTogether",
     .Files = {File("isolinux.cfg", "include a.cfg\ninclude a.cfg\n"), Sparse("a.cfg", 40u << 20)}, .Exit = 1,
     .Report = "File too large"},
    {.Name = "SplashUnreadable", .Files = Splash("locked.txt") + Locked, .Exit = 1, .Report = "File access denied"},
    // Output that cannot be written is a failure, never a silent loss or a death by SIGPIPE.
    {.Name = "ScreenToAFullDisk", .Files = Screen, .Arguments = {"screen.txt"}, .Out = Stdout::Full, .Exit = 1,
     .Report = "Disk full"},
    {.Name = "HelpToAClosedPipe", .Arguments = {"-help"}, .Out = Stdout::ClosedPipe, .Exit = 1, .Report = IOError(EPIPE)},
    {.Name = "MenuToAClosedStream", .Files = Screen, .Out = Stdout::Closed, .Exit = 1, .Report = IOError(EBADF)},
    {.Name = "MenuToAClosedPipeWithoutStandardError", .Files = Screen, .Out = Stdout::ClosedPipe, .ErrClosed = true,
     .Exit = 1},
    // Input that ends or fails: the Enter wait reports a failed read, the menu just ends.
    {.Name = "EnterWaitEndsAtZ", .Files = Screen, .Arguments = {"screen.txt"}, .Input = "ab\x1a", .In = Stdin::Pipe},
    {.Name = "EnterWaitInputClosed", .Files = Screen, .Arguments = {"screen.txt"}, .In = Stdin::Closed, .Exit = 1,
     .Output = Long, .Report = IOError(EBADF)},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Program, RedirectedRun, ::testing::ValuesIn(Runs), RowName());

}  // namespace
}  // namespace vestalo::testing
