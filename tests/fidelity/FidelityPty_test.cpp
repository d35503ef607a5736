// The preview against the real boot loader: each screen of the fidelity suite is drawn in an
// 80x25 terminal and compared, cell by cell, with the screen the boot loader drew from the
// same file (tests/fidelity/golden, made by scripts/regenerate-goldens).
#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

const std::string Suite = VESTALO_SOURCE_DIR "/tests/fidelity/";

ScriptRow Case(const char* name, std::vector<int> masks = {}) {
  return {.Name = name, .Arguments = {std::string(name) + ".txt"}, .Steps = {Golden(name, masks), Send("\r")},
          .Directory = Suite + "cases"};
}

const ScriptRow Screens[] = {
    Case("01-colours"), Case("02-bright-backgrounds"), Case("03-clear-mid-screen"), Case("04-mode-codes"),
    Case("05-graphic-lines"), Case("06-tabs"), Case("07-backspace"), Case("08-long-lines"), Case("09-scroll"),
    Case("10-line-ends"), Case("11-ctrl-z"), Case("12-byte-ff"), Case("13-cp437-art"),
    // NUL, ACK, FS-US and DEL: nothing on the boot screen; SOH, ESC, EOT: "[0m" there; VT: a
    // line feed there, and SO switches the loader's later letters to line drawing.
    Case("14-control-bytes", {0, 7, 1, 1, 3, 1, 2, 11, 4, 3, 3, 1, 5, 3, 3, 6, 3, 3, 7, 3, 3, 9, 2, 2}),
    // The help keys of a boot medium; each key once the menu waits for it.
    {.Name = "medium",
     .Steps = {Golden("medium"), Idle(), Send("1"), Golden("medium-f1"), Idle(), Send("2"), Golden("medium-f2"), Idle(),
               Send("0"), Golden("medium-f10"), Idle(), Send("x")},
     .Directory = Suite + "medium"},
};

INSTANTIATE_TEST_SUITE_P(Fidelity, TerminalScript, ::testing::ValuesIn(Screens), RowName());

}  // namespace
}  // namespace vestalo::testing
