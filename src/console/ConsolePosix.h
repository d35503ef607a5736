// What the POSIX console's parts tell each other.
#pragma once

#include <string>

#include "console/KeyDecoder.h"

namespace console {

// True when standard input is a terminal.
bool InputIsConsole();

// The questions about pictures and colours for this terminal, once a graphical screen was
// shown and they were not asked yet; empty otherwise. Asking changes the terminal's colours.
std::string PictureQuestionsToAsk();

// The terminal answered them: the graphical screen on display is shown again with what it
// can show (pictures take over from the cells where it draws them).
void PicturesAnswered(const TerminalAnswers& answers);

}  // namespace console
