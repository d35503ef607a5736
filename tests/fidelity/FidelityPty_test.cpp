// The preview against the real boot loader: each screen of the fidelity suite is drawn in an
// 80x25 terminal and compared, cell by cell, with the screen the boot loader drew from the
// same file (tests/fidelity/golden, made by scripts/regenerate-goldens).
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "console/Cp437.h"
#include "console/Sgr.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

const std::string Suite = VESTALO_SOURCE_DIR "/tests/fidelity";
constexpr int Rows = 25, Columns = 80;

// A boot screen as the loader left it: character and attribute bytes of every cell, and the
// row of its cursor, where its `boot: ` prompt is.
struct Golden {
  std::string Cells;
  int PromptRow = -1;
};

// Cells the preview shows otherwise by design: a control byte shown as its glyph where the
// boot loader draws nothing, or its own three characters.
struct Masked {
  int Row, Column, Count;
};

Golden LoadGolden(const std::string& name) {
  Golden golden;
  std::ifstream bin(Suite + "/golden/" + name + ".bin", std::ios::binary);
  golden.Cells.assign(std::istreambuf_iterator<char>(bin), {});
  std::ifstream cursors(Suite + "/golden/cursors.txt");
  std::string line;
  while (std::getline(cursors, line)) {
    std::istringstream fields(line);
    std::string entry;
    int row = -1;
    if (fields >> entry >> row && entry == name) golden.PromptRow = row;
  }
  return golden;
}

// The ECMA-48 colour index a terminal shows for a PC colour 0-15.
int TerminalColour(int pcColour) { return console::EcmaColour(pcColour & 7) + (pcColour & 8); }

bool IsMasked(const std::vector<Masked>& masks, int row, int column) {
  for (const auto& mask : masks)
    if (mask.Row == row && column >= mask.Column && column < mask.Column + mask.Count) return true;
  return false;
}

// Every cell where the terminal differs from the boot screen, one readable line each.
std::vector<std::string> Differences(const PtyProgram& program, const Golden& golden,
                                     const std::vector<Masked>& masks) {
  std::vector<std::string> found;
  for (int row = 0; row < Rows; ++row) {
    if (row == golden.PromptRow) continue;  // the loader's prompt, and the row it redraws
    for (int column = 0; column < Columns; ++column) {
      if (IsMasked(masks, row, column)) continue;
      const size_t at = static_cast<size_t>((row * Columns + column) * 2);
      const auto byte = static_cast<unsigned char>(golden.Cells[at]);
      const auto attr = static_cast<unsigned char>(golden.Cells[at + 1]);
      const char32_t expected = console::Cp437CodePoint(byte);
      const ScreenCell cell = program.Cell(row, column);
      if (cell.Char == expected && cell.Foreground == TerminalColour(attr & 0x0F) &&
          cell.Background == TerminalColour(attr >> 4) && !cell.Reverse)
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
void ExpectBootScreen(PtyProgram& program, const std::string& name, const std::vector<Masked>& masks) {
  const Golden golden = LoadGolden(name);
  ASSERT_EQ(golden.Cells.size(), static_cast<size_t>(Rows * Columns * 2)) << name;
  ASSERT_GE(golden.PromptRow, 0) << name << " has no entry in cursors.txt";
  program.WaitUntil([&] { return Differences(program, golden, masks).empty(); }, 3000);
  const auto differences = Differences(program, golden, masks);
  std::string report;
  for (size_t i = 0; i < differences.size() && i < 20; ++i) report += differences[i] + "\n";
  EXPECT_TRUE(differences.empty()) << name << ": " << differences.size() << " cells differ\n"
                                   << report << program.ScreenText();
}

struct FidelityCase {
  const char* Name;
  std::vector<Masked> Masks;
};

void PrintTo(const FidelityCase& c, std::ostream* out) { *out << c.Name; }

class Fidelity : public ::testing::TestWithParam<FidelityCase> {};

TEST_P(Fidelity, ScreenFileLooksAsOnTheBootScreen) {
  PtyOptions options;
  options.Directory = Suite + "/cases";
  options.Arguments = {std::string(GetParam().Name) + ".txt"};
  PtyProgram program(options);
  ExpectBootScreen(program, GetParam().Name, GetParam().Masks);
  program.Send("\r");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fidelity,
    ::testing::Values(
        FidelityCase{"01-colours", {}}, FidelityCase{"02-bright-backgrounds", {}},
        FidelityCase{"03-clear-mid-screen", {}}, FidelityCase{"04-mode-codes", {}},
        FidelityCase{"05-graphic-lines", {}}, FidelityCase{"06-tabs", {}},
        FidelityCase{"07-backspace", {}}, FidelityCase{"08-long-lines", {}},
        FidelityCase{"09-scroll", {}}, FidelityCase{"10-line-ends", {}},
        FidelityCase{"11-ctrl-z", {}}, FidelityCase{"12-byte-ff", {}},
        FidelityCase{"13-cp437-art", {}},
        // NUL, ACK, FS-US and DEL: nothing on the boot screen; SOH, ESC, EOT: "[0m" there;
        // VT: a line feed there, and SO switches the loader's later letters to line drawing.
        FidelityCase{"14-control-bytes",
                     {{0, 7, 1}, {1, 3, 1}, {2, 11, 4}, {3, 3, 1}, {5, 3, 3}, {6, 3, 3}, {7, 3, 3}, {9, 2, 2}}}),
    [](const ::testing::TestParamInfo<FidelityCase>& info) {
      std::string name;
      for (const char* c = info.param.Name; *c != '\0'; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(FidelityMedium, HelpKeysShowTheScreensOfF1F2AndF10) {
  PtyOptions options;
  options.Directory = Suite + "/medium";
  PtyProgram program(options);
  ExpectBootScreen(program, "medium", {});
  const struct {
    const char* Key;
    const char* Golden;
  } steps[] = {{"1", "medium-f1"}, {"2", "medium-f2"}, {"0", "medium-f10"}};
  for (const auto& step : steps) {
    ASSERT_TRUE(program.WaitForKeyMode());
    program.Send(step.Key);
    ExpectBootScreen(program, step.Golden, {});
  }
  program.Send("x");
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

}  // namespace
}  // namespace vestalo::testing
