// Standard streams that fail under the program: a full disk, a pipe nobody reads, closed
// streams, input that ends or goes away while the program waits. Each run must end by
// itself, with a report and exit code 1 where output was lost, and with exit code 0 where
// input merely ended.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "hardening/Redirect.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

// A screen longer than the output buffer, so that writing fails before the end of the run.
const std::string LongScreen = "\x0f" "1e" + std::string(2000, 'A');

struct Medium {
  TempFolder Folder;
  Medium() {
    Folder.Write("screen.txt", LongScreen);
    Folder.Write("isolinux.cfg", "display screen.txt\nF1 screen.txt\n");
  }
};

struct RunCase {
  const char* Name;
  std::vector<std::string> Arguments;
};

const RunCase RunCases[] = {
    {"ScreenFile", {"screen.txt"}},
    {"Help", {"-help"}},
    {"Configuration", {}},
};

class LostOutput : public ::testing::TestWithParam<RunCase> {};

TEST_P(LostOutput, ToAFullDiskIsReportedAsDiskFull) {
  Medium medium;
  const Outcome outcome = RunArranged(GetParam().Arguments, medium.Folder.Path(), OutputTo("/dev/full"));
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(outcome.Err, "Disk full")) << outcome.Err;
}

TEST_P(LostOutput, ToAPipeNobodyReadsIsReportedNotASilentDeath) {
  Medium medium;
  const Outcome outcome = RunArranged(GetParam().Arguments, medium.Folder.Path(), OutputToClosedPipe);
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.Signal, 0) << "ended by signal " << outcome.Signal;
  EXPECT_EQ(outcome.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(outcome.Err, "I/O error #")) << outcome.Err;
}

TEST_P(LostOutput, WithStandardErrorClosedTooStillEndsWithExitCode1) {
  Medium medium;
  const Outcome outcome = RunArranged(GetParam().Arguments, medium.Folder.Path(), [] {
    OutputToClosedPipe();
    close(2);
  });
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.Signal, 0);
  EXPECT_EQ(outcome.ExitCode, 1);
}

TEST_P(LostOutput, ToAClosedStreamIsReported) {
  Medium medium;
  const Outcome outcome = RunArranged(GetParam().Arguments, medium.Folder.Path(), [] { close(1); });
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(outcome.Err, "I/O error #")) << outcome.Err;
}

INSTANTIATE_TEST_SUITE_P(Modes, LostOutput, ::testing::ValuesIn(RunCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Standard input as a pipe whose writing end the test closes after a while.
TEST(EndedInput, APipeClosedDuringTheEnterWaitEndsTheRunNormally) {
  Medium medium;
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const Outcome outcome = RunArranged(
      {"screen.txt"}, medium.Folder.Path(),
      [ends] {
        dup2(ends[0], 0);
        close(ends[1]);
      },
      15000,
      [&](pid_t child) {
        close(ends[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(kill(child, 0), 0) << "ended before its input did";
        close(ends[1]);
      });
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 0);
  EXPECT_EQ(outcome.Out.substr(outcome.Out.size() - 10), std::string(10, 'A'));
}

// A closed descriptor is no end of input but a failed read: the Enter wait's read of
// standard input is tested like every file read, while the menu's keys, like the console's,
// are not, and a keyboard that cannot be read ends the menu.
TEST(EndedInput, AClosedStandardInputIsReportedAtTheEnterWaitAndEndsTheMenu) {
  Medium medium;
  const Outcome wait = RunArranged({"screen.txt"}, medium.Folder.Path(), [] { close(0); });
  ASSERT_FALSE(wait.Hung);
  EXPECT_EQ(wait.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(wait.Err, "I/O error #")) << wait.Err;
  EXPECT_NE(wait.Out.find(std::string(2000, 'A')), std::string::npos);
  const Outcome menu = RunArranged({}, medium.Folder.Path(), [] { close(0); });
  ASSERT_FALSE(menu.Hung);
  EXPECT_EQ(menu.ExitCode, 0);
  EXPECT_EQ(menu.Err, "");
  EXPECT_NE(menu.Out.find(std::string(2000, 'A')), std::string::npos);
}

void ExpectModesRestored(const PtyProgram& program) {
  const auto modes = program.TerminalModes();
  EXPECT_NE(modes.c_lflag & ICANON, 0u);
  EXPECT_NE(modes.c_lflag & ECHO, 0u);
  EXPECT_NE(modes.c_lflag & ISIG, 0u);
}

TEST(EndedInput, EndOfFileTypedAtTheEnterWaitEndsTheRun) {
  Medium medium;
  PtyOptions options;
  options.Directory = medium.Folder.Path();
  options.Arguments = {"screen.txt"};
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForText("AAAA"));
  ASSERT_TRUE(program.WaitForIdle());
  program.Send("\x04");  // Ctrl+D: the end of input in line mode
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  ExpectModesRestored(program);
}

// The menu on the terminal, its keys from a FIFO that the test closes.
TEST(EndedInput, KeysThatEndDuringTheMenuEndItWithTheTerminalRestored) {
  Medium medium;
  const std::string fifo = medium.Folder.Path() + "/keys";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  PtyOptions options;
  options.Directory = medium.Folder.Path();
  options.Program = "/bin/sh";
  options.Arguments = {"-c", "exec \"$0\" < keys", VESTALO_BINARY};
  PtyProgram program(options);
  const int keys = OpenFifoForWriting(fifo);
  ASSERT_GE(keys, 0);
  ASSERT_TRUE(program.WaitForText("AAAA"));
  ASSERT_EQ(write(keys, "1", 1), 1);
  ASSERT_TRUE(program.WaitForIdle());
  EXPECT_FALSE(program.Exited());
  close(keys);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
  ExpectModesRestored(program);
  const std::string& output = program.Output();
  EXPECT_EQ(output.substr(output.size() - 4), CSI "0m");  // the terminal's own colours back
}

}  // namespace
}  // namespace vestalo::testing
