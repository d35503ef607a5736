// Names and files that a boot medium from anywhere may hold: unreadable, a folder, a
// wildcard, an overlong name, a link loop, endless or huge files, a huge configuration
// line. Each ends with the report of what went wrong and exit code 1, or shows the
// not-found line and carries on, and never hangs.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "hardening/Redirect.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

const std::string LongName = std::string(296, 'n') + ".txt";  // 300 characters

// A folder with a screen file and every kind of troublesome name beside it.
struct Medium {
  TempFolder Folder;
  Medium() {
    Folder.Write("screen.txt", "Screen");
    std::filesystem::create_directory(Folder.Path() + "/folder");
    std::filesystem::create_symlink("loop-b", Folder.Path() + "/loop-a");
    std::filesystem::create_symlink("loop-a", Folder.Path() + "/loop-b");
    // A terabyte that takes no room: only its end is written.
    std::ofstream(Folder.Path() + "/sparse.txt").close();
    std::filesystem::resize_file(Folder.Path() + "/sparse.txt", 1ull << 40);
  }
  std::string Path() const { return Folder.Path(); }
};

struct NameCase {
  const char* Label;
  std::string Name;
  const char* Report;  // the message of the report when the name is the argument
};

const NameCase NameCases[] = {
    {"Folder", "folder", "File access denied"},
    {"WildcardThatMatches", "scr*.txt", "File not found"},
    {"QuestionMarkThatMatches", "screen.tx?", "File not found"},
    {"NameOf300Characters", LongName, "Invalid filename"},
    {"SymbolicLinkLoop", "loop-a", "I/O error #"},
    {"EndlessDevice", "/dev/zero", "File too large"},
    {"HugeSparseFile", "sparse.txt", "File too large"},
};

class TroublesomeName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TroublesomeName, AsTheArgumentEndsWithItsReport) {
  Medium medium;
  const Outcome outcome = RunArranged({GetParam().Name}, medium.Path(), {});
  ASSERT_FALSE(outcome.Hung);
  if (GetParam().Name == "folder") {  // a folder is a boot medium, here one without a configuration
    EXPECT_EQ(outcome.ExitCode, 0);
    EXPECT_EQ(outcome.Out.rfind("no valid configuration file found\r\n", 0), 0u) << outcome.Out;
    return;
  }
  EXPECT_EQ(outcome.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(outcome.Err, GetParam().Report)) << outcome.Err;
  EXPECT_EQ(outcome.Out, "");
}

TEST_P(TroublesomeName, AsTheSplashFileIsNotFoundOrReported) {
  Medium medium;
  medium.Folder.Write("isolinux.cfg", "display " + GetParam().Name + "\n");
  const Outcome outcome = RunArranged({}, medium.Path(), {});
  ASSERT_FALSE(outcome.Hung);
  // The probe turns folders, devices, loops and overlong names away; a wildcard passes
  // the probe and fails at the open, and a huge file is too large to read.
  const std::string name = GetParam().Name;
  const bool probed = name.find_first_of("*?") != std::string::npos || name == "sparse.txt";
  if (probed) {
    EXPECT_EQ(outcome.ExitCode, 1);
    EXPECT_TRUE(IsFailureReport(outcome.Err, GetParam().Report)) << outcome.Err;
  } else {
    EXPECT_EQ(outcome.ExitCode, 0);
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Out, "File " + name + " not found\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Names, TroublesomeName, ::testing::ValuesIn(NameCases),
                         [](const auto& info) { return std::string(info.param.Label); });

// Tests may run as root, who may read anything: the program then runs as an unprivileged
// user, from a copy that user may execute.
struct UnreadableMedium {
  TempFolder Folder;
  std::string Program;
  uid_t User = getuid();
  gid_t Group = getgid();
  UnreadableMedium() {
    Folder.Write("locked.txt", "Secret");
    Folder.Write("isolinux.cfg", "display locked.txt\n");
    chmod((Folder.Path() + "/locked.txt").c_str(), 0);
    chmod(Folder.Path().c_str(), 0755);
    chmod((Folder.Path() + "/isolinux.cfg").c_str(), 0644);
    Program = Folder.Path() + "/vestalo";
    std::filesystem::copy_file(VESTALO_BINARY, Program);
    chmod(Program.c_str(), 0755);
    if (getuid() == 0) {
      const passwd* nobody = getpwnam("nobody");
      User = nobody != nullptr ? nobody->pw_uid : 65534;
      Group = nobody != nullptr ? nobody->pw_gid : 65534;
    }
  }
  Arrangement AsUser() const {
    return [user = User, group = Group] {
      if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(group) != 0 || setuid(user) != 0)) _exit(124);
    };
  }
};

TEST(UnreadableFile, IsReportedAsAccessDeniedToAnUnprivilegedUser) {
  UnreadableMedium medium;
  ASSERT_NE(medium.User, 0u) << "no unprivileged user to run the program as";
  for (const auto& arguments : {std::vector<std::string>{"locked.txt"}, std::vector<std::string>{}}) {
    const Outcome outcome = RunArranged(arguments, medium.Folder.Path(), medium.AsUser(), 15000, {}, medium.Program);
    ASSERT_FALSE(outcome.Hung);
    ASSERT_NE(outcome.ExitCode, 124) << "could not become an unprivileged user";
    EXPECT_EQ(outcome.ExitCode, 1);
    EXPECT_TRUE(IsFailureReport(outcome.Err, "File access denied")) << outcome.Err;
  }
}

TEST(HugeConfiguration, AFiftyMegabyteLineIsReadThrough) {
  Medium medium;
  medium.Folder.Write("isolinux.cfg", "# " + std::string(50u << 20, 'x') + "\ndisplay screen.txt\n");
  const Outcome outcome = RunArranged({}, medium.Path(), {});
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 0);
  EXPECT_EQ(outcome.Out, "Screen");
}

TEST(HugeConfiguration, AFiftyMegabyteSplashNameIsNotFound) {
  Medium medium;
  const std::string name(50u << 20, 'n');
  medium.Folder.Write("isolinux.cfg", "display " + name + "\n");
  const Outcome outcome = RunArranged({}, medium.Path(), OutputTo("/dev/null"));
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 0);
  EXPECT_EQ(outcome.Err, "");
}

TEST(HugeConfiguration, OneLargerThan64MegabytesIsTooLarge) {
  Medium medium;
  medium.Folder.Write("isolinux.cfg", "display screen.txt\n" + std::string((64u << 20) + 1, '#'));
  const Outcome outcome = RunArranged({}, medium.Path(), {});
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(outcome.Err, "File too large")) << outcome.Err;
}

// The report of a failure in the menu's terminal: shown, modes and colours put back.
TEST(ReportInTheTerminal, AWildcardSplashLeavesTheTerminalAsItWas) {
  Medium medium;
  medium.Folder.Write("isolinux.cfg", "display scr*.txt\n");
  PtyOptions options;
  options.Directory = medium.Path();
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 1);
  EXPECT_NE(program.ScreenText().find("File not found."), std::string::npos) << program.ScreenText();
  const auto modes = program.TerminalModes();
  EXPECT_NE(modes.c_lflag & ICANON, 0u);
  EXPECT_NE(modes.c_lflag & ECHO, 0u);
}

}  // namespace
}  // namespace vestalo::testing
