#include "screen/ScreenGrid.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace screen {
namespace {

// The grid keeps the cursor where the boot loader's is once a screen file is drawn: the
// loader then writes its 6-character `boot: ` prompt there (tests/fidelity/golden/cursors.txt
// holds its cursor after the prompt).
TEST(ScreenGrid, KeepsTheCursorWhereTheBootLoaderWritesItsPrompt) {
  const std::string suite = VESTALO_SOURCE_DIR "/tests/fidelity";
  std::ifstream cursors(suite + "/golden/cursors.txt");
  std::string name;
  int row = 0, column = 0, checked = 0;
  while (cursors >> name >> row >> column) {
    // The medium's screens follow a key; in 14-control-bytes the loader takes 0x0B as a line
    // feed, which the preview shows as its glyph.
    if (name.rfind("medium", 0) == 0 || name == "14-control-bytes") continue;
    std::ifstream file(suite + "/cases/" + name + ".txt", std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    ScreenGrid grid;
    // The boot loader stops at ^Z and 0xFF, as the program's file reading does.
    UTypes::RenderDisplayText(text.substr(0, text.find_first_of(std::string("\x1a\xff", 2))), grid);
    EXPECT_EQ(grid.CursorRow(), row) << name;
    EXPECT_EQ(grid.CursorColumn(), column - 6) << name;
    ++checked;
  }
  EXPECT_EQ(checked, 13);
}

}  // namespace
}  // namespace screen
