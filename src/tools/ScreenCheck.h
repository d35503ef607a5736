// What goes wrong when the boot loader draws one screen file: lines that wrap or leave an
// empty row, text that scrolls away, bytes it shows otherwise than an author expects.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/Finding.h"

namespace vestalo::tools {

// How the boot loader comes to draw the file.
enum class ScreenRole {
  Screen,  // a screen file on its own, drawn on a cleared screen
  Splash,  // the display file, which the loader's `boot: ` prompt follows on its last row
  Help,    // an F-key file, drawn below the prompt; the prompt then takes its last row
};

// The findings about a screen file, every byte of it (past its end too), in the order of
// their places; `file` names it in the findings.
std::vector<Finding> CheckScreenText(const std::string& file, std::string_view bytes,
                                     ScreenRole role);

// True when every byte above 0x7F is part of a UTF-8 sequence, and there is one: a text saved
// as UTF-8. Box drawing in code page 437 forms such sequences only here and there (CD BB is
// "═╗").
bool IsUtf8Text(std::string_view text);

// The bytes as the boot screen shows them: each one its code page 437 character, in UTF-8.
std::string ShownAsCp437(std::string_view bytes);

}  // namespace vestalo::tools
