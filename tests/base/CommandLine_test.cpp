#include "base/CommandLine.h"

#include <gtest/gtest.h>

#include "main/Options.h"

namespace vestalo {
namespace {

TEST(CommandLineSplit, GivesTheArguments) {
  // clang-format off
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"vestalo", {}}, {"vestalo   ", {}}, {"vestalo a.txt -help", {"a.txt", "-help"}},
      {"\"C:\\Program Files\\vestalo.exe\" boot.msg", {"boot.msg"}}, {"vestalo ab\"c d\"e", {"abc de"}},
      {"vestalo \"\" a", {"a"}}, {"vestalo \"\"", {}}, {"vestalo \"\"\"\"  x", {"x"}}, {"vestalo \"my splash.txt", {"my splash.txt"}},
      {"vestalo a\\\"b c\"", {"a\\b c"}}, {"vestalo\ta\x01" "b", {"a", "b"}}, {"vestalo \"", {}}};
  // clang-format on
  for (const auto& [line, arguments] : cases) EXPECT_EQ(SplitCommandLine(line), arguments) << line;
}

TEST(CommandLineSplit, NeverTakesTheSecondByteOfADoubleByteCharacterForAQuote) {
  // 0x81 starts a two-byte character in this test's code page, so 0x81 '"' is one character.
  CharStepper step = [](std::string_view text, std::size_t at) -> std::size_t {
    return static_cast<unsigned char>(text[at]) == 0x81 ? 2 : 1;
  };
  EXPECT_EQ(SplitCommandLine("vestalo a\x81\" b", step),
            (std::vector<std::string>{"a\x81\"", "b"}));
  EXPECT_EQ(SplitCommandLine("vestalo a\x81 b", step), (std::vector<std::string>{"a\x81 b"}));
}

struct OptionsCase {
  std::vector<std::string> Arguments;
  RunMode Mode;
  std::string Target, ConfigName, SnapshotFolder;
  bool Watch;
  bool Problem;
  std::vector<std::string> Keys = {};
  bool NoMenu = false;
};

TEST(ParseArguments, OptionsComeFirstAndTheFirstOtherArgumentIsTheTarget) {
  // clang-format off
  const OptionsCase cases[] = {
      {{}, RunMode::Configuration, "", "", "", false, false},
      {{"-help", "x"}, RunMode::Help, "", "", "", false, false},
      {{"--help"}, RunMode::Help, "", "", "", false, false},
      {{"-h"}, RunMode::Help, "", "", "", false, false},
      {{"-c", "x", "--version"}, RunMode::Version, "", "", "", false, false},
      {{"-HELP"}, RunMode::Configuration, "-HELP", "", "", false, false},
      {{"--helpme"}, RunMode::Configuration, "", "", "", false, true},
      {{"--watch", "--foo", "a.txt"}, RunMode::Configuration, "", "", "", true, true},
      {{"--", "--foo"}, RunMode::Configuration, "--foo", "", "", false, false},
      {{"-V"}, RunMode::Configuration, "-V", "", "", false, false},
      {{"--no-menu", "cd.iso"}, RunMode::Configuration, "cd.iso", "", "", false, false, {}, true},
      {{"--snapshot", "out", "--keys", "down,text:ab,f1", "m"}, RunMode::Snapshot, "m", "", "out", false, false, {"down", "text:ab", "f1"}},
      {{"--keys=tab", "--snapshot=out"}, RunMode::Snapshot, "", "", "out", false, false, {"tab"}},
      {{"--keys", "down"}, RunMode::Configuration, "", "", "", false, true, {"down"}},
      {{"a.txt", "-help"}, RunMode::Configuration, "a.txt", "", "", false, false},
      {{"-c", "prompt.cfg"}, RunMode::Configuration, "", "prompt.cfg", "", false, false},
      {{"--config=menu.cfg", "cd.iso"}, RunMode::Configuration, "cd.iso", "menu.cfg", "", false, false},
      {{"--watch", "--", "-c"}, RunMode::Configuration, "-c", "", "", true, false},
      {{"--check", "-c", "p.cfg", "medium"}, RunMode::Check, "medium", "p.cfg", "", false, false},
      {{"--snapshot", "out", "f1.txt"}, RunMode::Snapshot, "f1.txt", "", "out", false, false},
      {{"-c"}, RunMode::Configuration, "", "", "", false, true},
      {{"--check", "--snapshot", "out"}, RunMode::Snapshot, "", "", "out", false, true},
      {{"--check", "--watch"}, RunMode::Check, "", "", "", true, true},
  };
  // clang-format on
  for (const auto& c : cases) {
    const ProgramOptions options = ParseArguments(c.Arguments);
    const std::string label = testing::PrintToString(c.Arguments);
    EXPECT_EQ(options.Mode, c.Mode) << label;
    EXPECT_EQ(options.Target, c.Target) << label;
    EXPECT_EQ(options.ConfigName, c.ConfigName) << label;
    EXPECT_EQ(options.SnapshotFolder, c.SnapshotFolder) << label;
    EXPECT_EQ(options.Watch, c.Watch) << label;
    EXPECT_EQ(options.Keys, c.Keys) << label;
    EXPECT_EQ(options.NoMenu, c.NoMenu) << label;
    EXPECT_EQ(!options.Problem.empty(), c.Problem) << label << ": " << options.Problem;
  }
}

}  // namespace
}  // namespace vestalo
