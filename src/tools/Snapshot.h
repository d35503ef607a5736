// --snapshot DIR: every screen of a medium, or one screen file, written as it stands once drawn.
#pragma once

#include <string>

#include "tools/ToolTarget.h"

namespace vestalo::tools {

// Draws each screen (the splash and every bound help file, or the one screen file named)
// on a fresh light-grey-on-black screen and writes NAME.txt, NAME.ans, NAME.html and
// NAME.png into the folder. Refuses, before writing anything, to replace a file of the
// medium. Returns the exit code: 0, 1 for a refused run, 2 when bound files are missing.
int RunSnapshot(const ToolTarget& target, const std::string& snapshotFolder);

}  // namespace vestalo::tools
