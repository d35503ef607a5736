// NextKey and InputPending on top of the platform's key events; the same on every platform.
#include <cstdlib>

#include "console/Console.h"
#include "console/KeyEvent.h"
#include "console/KeyTranslation.h"

namespace console {

namespace {

KeyTranslation Keys;

}  // namespace

uint8_t NextKey() {
  // Whatever was drawn must be on the screen before the user is asked for a key.
  FlushConsole();
  if (auto code = Keys.NextKey(ReadKeyEvent)) return *code;
  // No key will ever come again (input at its end, terminal gone): the run ends normally.
  RestoreConsole();
  std::exit(0);
}

bool InputPending() { return WaitingKeyInput() > 0; }

}  // namespace console
