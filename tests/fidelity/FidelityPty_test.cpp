// The preview against the real boot loader: each screen of the fidelity suite is drawn in an
// 80x25 terminal and compared, cell by cell, with the screen the boot loader drew from the
// same file (tests/fidelity/golden, made by scripts/regenerate-goldens). The loader's bytes
// and attributes are read through tables of the tests' own (support/PcGlyphs.h).
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/PcGlyphs.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

const std::string Suite = VESTALO_SOURCE_DIR "/tests/fidelity";
constexpr int Rows = 25, Columns = 80, TimeoutMs = 5000;

// Cells the preview shows otherwise by design: a control byte shown as its glyph where the
// boot loader draws nothing, or its own three characters.
struct Masked {
  int Row, Column, Count;
};

// Every cell where the terminal differs from the boot screen `name`, one readable line each.
// The loader's cursor row holds its `boot: ` prompt, which the preview does not draw.
std::vector<std::string> Differences(const PtyProgram& program, const std::string& name,
                                     const std::vector<Masked>& masks) {
  std::ifstream bin(Suite + "/golden/" + name + ".bin", std::ios::binary);
  const std::string golden{std::istreambuf_iterator<char>(bin), {}};
  std::ifstream cursors(Suite + "/golden/cursors.txt");
  std::string entry;
  int promptRow = -1, column = 0;
  while (cursors >> entry >> promptRow >> column && entry != name) promptRow = -1;
  if (golden.size() != Rows * Columns * 2 || promptRow < 0) return {"no golden screen for " + name};
  std::vector<std::string> found;
  for (int row = 0; row < Rows; ++row) {
    for (column = 0; column < Columns && row != promptRow; ++column) {
      bool masked = false;
      for (const auto& mask : masks)
        masked = masked || (mask.Row == row && column >= mask.Column && column < mask.Column + mask.Count);
      const size_t at = static_cast<size_t>((row * Columns + column) * 2);
      const char32_t expected = PcGlyphs()[static_cast<unsigned char>(golden[at])];
      const int attr = static_cast<unsigned char>(golden[at + 1]);
      const ScreenCell cell = program.Cell(row, column);
      if (masked || (cell.Char == expected && cell.Foreground == TerminalColour(attr & 0x0F) &&
                     cell.Background == TerminalColour(attr >> 4) && !cell.Reverse))
        continue;
      std::ostringstream line;
      line << "row " << row << " column " << column << ": boot screen '" << Utf8(expected) << "' fg "
           << TerminalColour(attr & 0x0F) << " bg " << TerminalColour(attr >> 4) << ", terminal '"
           << Utf8(cell.Char) << "' fg " << cell.Foreground << " bg " << cell.Background;
      found.push_back(line.str());
    }
  }
  return found;
}

// Waits until the terminal shows the boot screen, then lists what still differs.
void ExpectBootScreen(PtyProgram& program, const std::string& name, const std::vector<Masked>& masks = {}) {
  program.WaitUntil([&] { return Differences(program, name, masks).empty(); }, TimeoutMs);
  const auto differences = Differences(program, name, masks);
  std::string report;
  for (size_t i = 0; i < differences.size() && i < 20; ++i) report += differences[i] + "\n";
  EXPECT_TRUE(differences.empty()) << name << ": " << differences.size() << " cells differ\n"
                                   << report << program.ScreenText();
}

struct FidelityCase {
  const char* Name;
  std::vector<Masked> Masks{};
};

void PrintTo(const FidelityCase& c, std::ostream* out) { *out << c.Name; }

class Fidelity : public ::testing::TestWithParam<FidelityCase> {};

TEST_P(Fidelity, ScreenFileLooksAsOnTheBootScreen) {
  PtyProgram program({.Command = {VESTALO_BINARY, std::string(GetParam().Name) + ".txt"}, .Directory = Suite + "/cases"});
  ExpectBootScreen(program, GetParam().Name, GetParam().Masks);
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit(TimeoutMs));
  EXPECT_EQ(program.ExitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fidelity,
    ::testing::Values(
        FidelityCase{"01-colours"}, FidelityCase{"02-bright-backgrounds"}, FidelityCase{"03-clear-mid-screen"},
        FidelityCase{"04-mode-codes"}, FidelityCase{"05-graphic-lines"}, FidelityCase{"06-tabs"},
        FidelityCase{"07-backspace"}, FidelityCase{"08-long-lines"}, FidelityCase{"09-scroll"},
        FidelityCase{"10-line-ends"}, FidelityCase{"11-ctrl-z"}, FidelityCase{"12-byte-ff"},
        FidelityCase{"13-cp437-art"},
        // NUL, ACK, FS-US and DEL: nothing on the boot screen; SOH, ESC, EOT: "[0m" there;
        // VT: a line feed there, and SO switches the loader's later letters to line drawing.
        FidelityCase{"14-control-bytes",
                     {{0, 7, 1}, {1, 3, 1}, {2, 11, 4}, {3, 3, 1}, {5, 3, 3}, {6, 3, 3}, {7, 3, 3}, {9, 2, 2}}}),
    [](const ::testing::TestParamInfo<FidelityCase>& info) {
      std::string name = info.param.Name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

// Each key is sent once the menu waits for it: a key that comes while another is handled
// ends the menu.
TEST(FidelityMedium, HelpKeysShowTheScreensOfF1F2AndF10) {
  PtyProgram program({.Command = {VESTALO_BINARY}, .Directory = Suite + "/medium"});
  ExpectBootScreen(program, "medium");
  for (const auto& [key, golden] : {std::pair{"1", "medium-f1"}, {"2", "medium-f2"}, {"0", "medium-f10"}}) {
    ASSERT_TRUE(program.WaitForIdle(TimeoutMs));
    program.Send(key);
    ExpectBootScreen(program, golden);
  }
  ASSERT_TRUE(program.WaitForIdle(TimeoutMs));
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit(TimeoutMs));
  EXPECT_EQ(program.ExitCode(), 0);
}

}  // namespace
}  // namespace vestalo::testing
