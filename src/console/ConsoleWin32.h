// What the Win32 console's parts tell each other.
#pragma once

#include <windows.h>

namespace console {

// The standard input handle taken at start; the keyboard reads its records from it.
HANDLE ConsoleInputHandle();

}  // namespace console
