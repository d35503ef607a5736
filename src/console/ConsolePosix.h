// What the POSIX console's parts tell each other.
#pragma once

namespace console {

// True when standard input is a terminal.
bool InputIsConsole();

}  // namespace console
