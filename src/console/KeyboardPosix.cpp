// Keys from a POSIX terminal (first cut: plain bytes as characters).
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "console/Console.h"
#include "console/ConsolePosix.h"
#include "console/TerminalModesPosix.h"

namespace console {

uint8_t NextKey() {
  FlushConsole();
  posix::UseKeyInput();
  unsigned char byte = 0;
  for (;;) {
    ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) return byte;
    if (got < 0 && errno == EINTR) continue;
    RestoreConsole();
    std::exit(0);
  }
}

bool InputPending() {
  int count = 0;
  return ioctl(STDIN_FILENO, FIONREAD, &count) == 0 && count > 0;
}

}  // namespace console
