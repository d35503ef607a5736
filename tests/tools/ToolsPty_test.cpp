// --check and --snapshot run as a user runs them: exit codes, the lines printed, and what a
// snapshot run writes or refuses to write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

using Files = std::map<std::string, std::string>;

const Files SoundMedium = {{"isolinux.cfg", "prompt 1\ndisplay s.txt\nF1 h.txt\n"},
                           {"s.txt", "\fSplash\r\n"},
                           {"h.txt", "\fHelp\r\n"}};
const Files FaultyMedium = {{"isolinux.cfg", "display s.txt\nF1 h.txt\nF2 gone.txt\n"},
                            {"s.txt", "\f" + std::string(83, 'a') + "\r\n"},
                            {"h.txt", "\fHelp\r\n"}};

struct ToolRun {
  const char* Name;
  Files Medium;                      // written into a fresh folder, where the program runs
  std::vector<std::string> Arguments;
  int ExitCode;
  std::vector<std::string> Out;      // lines of standard output; "*" stands for a place not yet known
  std::string ErrHas;                // a text standard error holds
  std::vector<std::string> Written;  // files that exist afterwards
  std::vector<std::string> Absent;   // files that do not
};

void PrintTo(const ToolRun& run, std::ostream* out) { *out << run.Name; }

// A line matches when equal, or when it has the expected text before and after a "*".
bool LineMatches(const std::string& line, const std::string& expected) {
  const size_t star = expected.find('*');
  if (star == std::string::npos) return line == expected;
  const std::string before = expected.substr(0, star), after = expected.substr(star + 1);
  return line.size() >= before.size() + after.size() && line.compare(0, before.size(), before) == 0 &&
         line.compare(line.size() - after.size(), after.size(), after) == 0;
}

class Tools : public ::testing::TestWithParam<ToolRun> {};

TEST_P(Tools, EndAndReportAsAUserExpects) {
  const ToolRun& c = GetParam();
  TempFolder folder;
  for (const auto& [name, text] : c.Medium) folder.Write(name, text);
  const auto run = RunWithPipes(c.Arguments, folder.Path());
  EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Out << run.Err;
  std::vector<std::string> lines;
  std::istringstream out(run.Out);
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), c.Out.size()) << run.Out;
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(LineMatches(lines[i], c.Out[i])) << lines[i];
  EXPECT_NE(run.Err.find(c.ErrHas), std::string::npos) << run.Err;
  for (const auto& name : c.Written) EXPECT_TRUE(std::filesystem::exists(folder.Path() + "/" + name)) << name;
  for (const auto& name : c.Absent) EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/" + name)) << name;
  for (const auto& [name, text] : c.Medium) {
    std::ifstream in(folder.Path() + "/" + name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text) << name << " changed";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Tools,
    ::testing::Values(
        ToolRun{"CheckSoundMedium", SoundMedium, {"--check"}, 0, {}, "", {}, {}},
        ToolRun{"CheckFaultyMedium", FaultyMedium, {"--check"}, 2,
                {"s.txt:1:82: warning: line is 83 columns wide; the boot screen wraps it",
                 "isolinux.cfg*: error: F2 file gone.txt is missing"}, "", {}, {}},
        ToolRun{"CheckWithoutConfiguration", {{"s.txt", "x"}}, {"--check"}, 2,
                {"isolinux.cfg: error: no configuration file: neither isolinux.cfg nor syslinux.cfg is there"}, "", {}, {}},
        ToolRun{"CheckUnreadableFile", {}, {"--check", "none.txt"}, 1, {}, "File not found.", {}, {}},
        ToolRun{"CheckSampleMedium", {}, {"--check", VESTALO_SOURCE_DIR "/samples/bootcd"}, 2,
                {"*: error: F3 file help3.txt is missing"}, "", {}, {}},
        ToolRun{"SnapshotOverTheMedium", SoundMedium, {"--snapshot", "."}, 1, {},
                "nothing written: the snapshot s.txt would replace s.txt of the boot medium", {}, {"s.ans", "h.png"}},
        ToolRun{"SnapshotWithAMissingHelpFile", FaultyMedium, {"--snapshot", "out"}, 2,
                {"s.txt: out/s.txt, out/s.ans, out/s.html, out/s.png", "h.txt: out/h.txt, out/h.ans, out/h.html, out/h.png"},
                "F2 file gone.txt is missing; it has no snapshot", {"out/s.png", "out/h.html"}, {"out/gone.txt"}},
        ToolRun{"SnapshotOfOneFileBesideIt", {{"s.txt", "\fS\r\n"}}, {"--snapshot", ".", "s.txt"}, 1, {},
                "would replace s.txt", {}, {"s.png"}}),
    [](const ::testing::TestParamInfo<ToolRun>& info) { return info.param.Name; });

}  // namespace
}  // namespace vestalo::testing
