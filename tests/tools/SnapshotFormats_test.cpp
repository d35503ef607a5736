#include "tools/SnapshotFormats.h"

#include <gtest/gtest.h>

#include <string>

namespace vestalo::tools {
namespace {

// A row's trailing blanks are left out of the text; the web page shows the screen's
// characters as characters, never as markup.
TEST(SnapshotFormats, TextWithoutTrailingBlanksAndHtmlEscaped) {
  screen::ScreenGrid grid;
  UTypes::RenderDisplayText("\f<b>&\"x\"  \r\n", grid);
  EXPECT_EQ(SnapshotText(grid), "<b>&\"x\"\n" + std::string(24, '\n'));
  EXPECT_NE(SnapshotHtml(grid, "s.txt").find(">&lt;b&gt;&amp;&quot;x&quot;  "), std::string::npos);
}

}  // namespace
}  // namespace vestalo::tools
