// The boot loader's own screens of the fidelity suite (tests/fidelity/golden, made by
// scripts/regenerate-goldens): character and attribute bytes, its picture, its prompt row.
#pragma once

#include <string>
#include <vector>

namespace vestalo::testing {

struct GoldenScreen {
  std::string Cells;   // 80x25 pairs of character and attribute, empty when there is none
  int PromptRow = -1;  // the loader's `boot: ` prompt, which the preview does not draw
  unsigned char Char(int row, int column) const {
    return static_cast<unsigned char>(Cells[(row * 80 + column) * 2]);
  }
  int Attr(int row, int column) const {
    return static_cast<unsigned char>(Cells[(row * 80 + column) * 2 + 1]);
  }
  // True for the prompt row and cells in `masks` (row, column, count, ...), shown otherwise by
  // design.
  bool Skipped(int row, int column, const std::vector<int>& masks) const;
};

// A golden screen of the fidelity suite by its name, or of the menu suite by its path in the
// source tree ("tests/menu/golden/07-submenus/00-boot"), which has no prompt row.
GoldenScreen ReadGolden(const std::string& name);

// Every difference between the snapshot `base` (.txt, .ans, .png) and the golden screen,
// one line each: characters and colours cell for cell, the picture pixel for pixel (a menu
// golden has no picture: its cells alone).
std::vector<std::string> SnapshotDifferences(const std::string& base, const std::string& golden,
                                             const std::vector<int>& masks);

}  // namespace vestalo::testing
