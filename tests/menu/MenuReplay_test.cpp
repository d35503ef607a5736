// Every case of tests/menu/cases replayed through a Session: after the first screen and
// after each step of the case's tour, the grid must hold the boot loader's own screen
// (tests/menu/golden), cell for cell, and the cursor stand where the loader's stood.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "media/Medium.h"
#include "menu/QemuKeys.h"
#include "menu/Session.h"

namespace menu {
namespace {

namespace fs = std::filesystem;
const fs::path Suite = fs::path(VESTALO_SOURCE_DIR) / "tests" / "menu";

// The cells that depend on when the oracle took the screen (docs/text-menu.md): a row's
// columns, and whether the cursor is left out too.
struct Mask {
  const char *Case, *Step;
  int Row, From, To;
  bool Cursor;
};
// clang-format off
constexpr Mask Masks[] = {
    {"17-countdown", "00-boot", 18, 0, 79, true},      {"17-countdown", "01-wait_1_5", 18, 0, 79, true},
    {"18-timeout-default", "00-boot", 19, 42, 43, false}, {"19-totaltimeout", "00-boot", 19, 0, 79, true},
    {"24-hidden-timeout", "00-boot", 4, 0, 79, true},  {"24-hidden-timeout", "01-wait_1_5", 4, 0, 79, true},
};
// clang-format on

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The differences between the grid and a golden, at most a few, readable; "" when none.
std::string Differences(const screen::ScreenGrid& grid, const std::string& golden, int cursorRow,
                        int cursorColumn, const std::string& caseName, const std::string& step) {
  std::string found;
  int shown = 0;
  bool cursorMasked = false;
  for (int row = 0; row < screen::Rows; ++row)
    for (int column = 0; column < screen::Columns; ++column) {
      bool masked = false;
      for (const Mask& mask : Masks)
        if (caseName == mask.Case && step == mask.Step) {
          masked = masked || (row == mask.Row && column >= mask.From && column <= mask.To);
          cursorMasked = cursorMasked || mask.Cursor;
        }
      const auto at = static_cast<std::size_t>((row * screen::Columns + column) * 2);
      const unsigned char c = static_cast<unsigned char>(golden[at]);
      const uint8_t attr = static_cast<uint8_t>(golden[at + 1]);
      const screen::Cell& cell = grid.At(row, column);
      if (masked || (cell.Char == c && cell.Attr == attr)) continue;
      if (++shown <= 6) {
        char line[96];
        std::snprintf(line, sizeof line, "  (%d,%d) loader %02X/%02X, ours %02X/%02X\n", row,
                      column, c, attr, cell.Char, cell.Attr);
        found += line;
      }
    }
  if (shown > 6) found += "  ... " + std::to_string(shown) + " cells in all\n";
  if (!cursorMasked && (grid.CursorRow() != cursorRow || grid.CursorColumn() != cursorColumn))
    found += "  cursor: loader " + std::to_string(cursorRow) + "," + std::to_string(cursorColumn) +
             ", ours " + std::to_string(grid.CursorRow()) + "," +
             std::to_string(grid.CursorColumn()) + "\n";
  return found;
}

// After an outcome: whether the screen that follows is still the menu's.
bool StaysInMenu(const Outcome& outcome) {
  return outcome.Type == Outcome::Stay || outcome.Type == Outcome::ShowFile ||
         outcome.Type == Outcome::Boot;  // the kernels of the cases are empty or missing
}

TEST(MenuReplay, EveryCaseMatchesTheLoadersScreens) {
  std::vector<fs::path> cases;
  for (const auto& entry : fs::directory_iterator(Suite / "cases")) cases.push_back(entry.path());
  std::sort(cases.begin(), cases.end());
  ASSERT_FALSE(cases.empty());
  int goldens = 0, matched = 0;
  std::string notes;
  for (const fs::path& folder : cases) {
    const std::string name = folder.filename().string();
    const fs::path golden = Suite / "golden" / name;
    std::vector<std::string> steps{"boot"};
    std::ifstream tour(folder / "tour");
    for (std::string line; std::getline(tour, line);)
      if (!line.empty() && line[0] != '#') steps.push_back(line);
    std::vector<fs::path> screens;
    for (const auto& entry : fs::directory_iterator(golden))
      if (entry.path().extension() == ".bin") screens.push_back(entry.path());
    std::sort(screens.begin(), screens.end());
    ASSERT_EQ(screens.size(), steps.size()) << name;
    std::map<std::string, std::pair<int, int>> cursors;
    std::ifstream cursorFile(golden / "cursors.txt");
    for (std::string step; cursorFile >> step;)
      cursorFile >> cursors[step].first >> cursors[step].second;

    const std::unique_ptr<media::Medium> medium = media::OpenMedium(folder.string());
    const MenuStart start = FindMenuStart(*medium, medium->StartConfiguration());
    ASSERT_EQ(start.Kind, Module::Text) << name;
    auto session = std::make_unique<Session>(*medium, start);
    Outcome outcome = session->Elapse(0);
    for (std::size_t i = 0; i < steps.size(); ++i) {
      if (i > 0) {
        const std::string& step = steps[i];
        if (step.rfind("wait:", 0) == 0) {
          outcome = session->Elapse(static_cast<int>(std::stod(step.substr(5)) * 1000));
        } else {
          for (const Key& key : KeysOf(step)) {
            outcome = session->Press(key);
            if (!StaysInMenu(outcome)) break;
          }
        }
      }
      // Another configuration with a menu of its own goes on in a session of its own.
      if (outcome.Type == Outcome::OpenConfiguration) {
        const MenuStart next = FindMenuStart(*medium, outcome.Configuration);
        if (next.Kind == Module::Text) {
          session = std::make_unique<Session>(*medium, next);
          outcome = {};
        }
      }
      if (!StaysInMenu(outcome) && outcome.Type != Outcome::BootPrompt) {
        notes +=
            "  " + name + ": from step " + std::to_string(i) + " (" + steps[i] +
            ") the loader leaves the menu (" +
            (outcome.Type == Outcome::OpenConfiguration ? "configuration " + outcome.Configuration
                                                        : std::string("a boot")) +
            "), not replayed\n";
        break;
      }
      const std::string stepName = screens[i].stem().string();
      ++goldens;
      const std::string differences =
          Differences(session->Screen(), ReadBytes(screens[i]), cursors[stepName].first,
                      cursors[stepName].second, name, stepName);
      if (differences.empty()) ++matched;
      EXPECT_EQ(differences, "") << name << "/" << stepName;
      if (outcome.Type == Outcome::BootPrompt) {
        if (i + 1 < steps.size())
          notes += "  " + name + ": after step " + std::to_string(i) + " (" + steps[i] +
                   ") the boot: prompt takes the keys, not replayed\n";
        break;
      }
    }
  }
  std::printf("Menu goldens: %d of %d compared match the loader's screens exactly\n%s", matched,
              goldens, notes.c_str());
  EXPECT_EQ(matched, goldens);
}

}  // namespace
}  // namespace menu
