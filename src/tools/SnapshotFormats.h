// A drawn screen as text files: plain text, text with terminal colours, and a web page.
#pragma once

#include <string>

#include "screen/ColourScreen.h"
#include "screen/ScreenGrid.h"

namespace vestalo::tools {

// 25 lines of UTF-8, each cell as its code page 437 character, without trailing blanks.
std::string SnapshotText(const screen::ScreenGrid& grid);

// The same 25 lines of 80 cells with ECMA-48 colour sequences; each line sets its own
// colours and ends with a reset, so that a terminal or a CI log shows any line alone.
std::string SnapshotAnsi(const screen::ScreenGrid& grid);

// One self-contained HTML page: the 25 rows in a monospace font and the PC's 16 colours.
std::string SnapshotHtml(const screen::ScreenGrid& grid, const std::string& title);

// The same three files of the graphical menu's cells, every row and column of its grid, in
// the 24-bit colours the screen shows them in (the element's colours over the picture).
std::string SnapshotText(const screen::ColourGrid& cells);
std::string SnapshotAnsi(const screen::ColourGrid& cells);
std::string SnapshotHtml(const screen::ColourGrid& cells, const std::string& title);

}  // namespace vestalo::tools
