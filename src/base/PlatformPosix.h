// What the POSIX side of the program shares below its platform calls.
#pragma once

#include <cstddef>

namespace vestalo::platform {

// Writes all bytes to a file descriptor, going on after interruptions. Returns 0 or the
// program's error code. Async-signal-safe: the terminal's signal handlers use it too.
int WriteAll(int fd, const char* bytes, std::size_t size);

}  // namespace vestalo::platform
