// The preview against the real boot loader: each screen of the fidelity suite is drawn in an
// 80x25 terminal and compared, cell by cell, with the screen the boot loader drew from the
// same file (tests/fidelity/golden, made by scripts/regenerate-goldens); and each screen's
// snapshot, its text and colours cell by cell and its picture pixel by pixel.
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

const std::string Suite = VESTALO_SOURCE_DIR "/tests/fidelity/";

struct Case {
  const char* Name;
  std::vector<int> Masks{};  // cells shown otherwise by design: row, column, count, ...
};
// clang-format off
const Case Cases[] = {
    {"01-colours"}, {"02-bright-backgrounds"}, {"03-clear-mid-screen"}, {"04-mode-codes"}, {"05-graphic-lines"},
    {"06-tabs"}, {"07-backspace"}, {"08-long-lines"}, {"09-scroll"}, {"10-line-ends"}, {"11-ctrl-z"}, {"12-byte-ff"},
    {"13-cp437-art"},
    // NUL, ACK, FS-US and DEL: nothing on the boot screen; SOH, ESC, EOT: "[0m" there; VT: a
    // line feed there, and SO switches the loader's later letters to line drawing.
    {"14-control-bytes", {0, 7, 1, 1, 3, 1, 2, 11, 4, 3, 3, 1, 5, 3, 3, 6, 3, 3, 7, 3, 3, 9, 2, 2}},
};
// clang-format on

// Each key once the menu waits for it, then the boot loader's screen for it.
std::vector<Step> Keys(std::vector<std::pair<std::string, std::string>> keysAndGoldens) {
  std::vector<Step> steps;
  for (const auto& [key, golden] : keysAndGoldens) {
    if (!key.empty()) steps.insert(steps.end(), {Idle(), Send(key)});
    steps.push_back(Golden(golden));
  }
  return steps.insert(steps.end(), {Idle(), Send("x")}), steps;
}

std::vector<ScriptRow> Screens() {
  std::vector<ScriptRow> rows;
  for (const Case& c : Cases)
    rows.push_back({.Name = c.Name,
                    .Arguments = {std::string(c.Name) + ".txt"},
                    .Steps = {Golden(c.Name, c.Masks), Send("\r")},
                    .Directory = Suite + "cases"});
  rows.push_back(
      {.Name = "medium",
       .Steps = Keys({{"", "medium"}, {"1", "medium-f1"}, {"2", "medium-f2"}, {"0", "medium-f10"}}),
       .Directory = Suite + "medium"});
  // Help keys behind include lines, and a menu label that opens another configuration.
  rows.push_back({.Name = "MediumWithIncludes",
                  .Steps = Keys({{"", "medium-include"},
                                 {"1", "medium-include-f1"},
                                 {"2", "medium-include-f2"},
                                 {"0", "medium-include-f10"}}),
                  .Directory = Suite + "include-medium"});
  rows.push_back(
      {.Name = "ConfigurationOfAMenuLabel",
       .Arguments = {"-c", "prompt.cfg"},
       .Steps = Keys({{"", "medium-include-config-ret"}, {"1", "medium-include-config-f1"}}),
       .Directory = Suite + "include-medium"});
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Fidelity, TerminalScript, ::testing::ValuesIn(Screens()), RowName());

std::vector<RunRow> Snapshots() {
  std::vector<RunRow> rows;
  for (const Case& c : Cases)
    rows.push_back({.Name = c.Name,
                    .Arguments = {"--snapshot", "out", Suite + "cases/" + c.Name + ".txt"},
                    .Snapshots = {{std::string("out/") + c.Name, c.Name, c.Masks}}});
  rows.push_back({.Name = "medium",
                  .Arguments = {"--snapshot", "out", Suite + "medium"},
                  .Snapshots = {{"out/splash", "medium"},
                                {"out/help1", "medium-f1"},
                                {"out/help2", "medium-f2"},
                                {"out/help10", "medium-f10"}}});
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Snapshot, RedirectedRun, ::testing::ValuesIn(Snapshots()), RowName());

}  // namespace
}  // namespace vestalo::testing
