// NextKey and InputPending on top of the platform's key events; the same on every platform.
#include "base/InOutError.h"
#include "console/Console.h"
#include "console/KeyEvent.h"
#include "console/KeyTranslation.h"

namespace console {

namespace {

KeyTranslation Keys;

uint8_t KeyOrEnd(const std::function<bool(KeyEvent&)>& read) {
  // Whatever was drawn must be on the screen before the user is asked for a key.
  FlushConsole();
  if (auto code = Keys.NextKey(read)) return *code;
  throw vestalo::EInputEnded();
}

}  // namespace

uint8_t NextKey() { return KeyOrEnd(ReadKeyEvent); }

uint8_t NextKey(int intervalMs, const std::function<void()>& whileWaiting) {
  return KeyOrEnd([&](KeyEvent& event) {
    while (!KeyEventWithin(intervalMs)) {
      whileWaiting();
      FlushConsole();
    }
    return ReadKeyEvent(event);
  });
}

std::optional<uint8_t> NextKeyWithin(int timeoutMs) {
  FlushConsole();  // the screen is whole before the wait
  if (Keys.LastResult != 0 && !KeyEventWithin(timeoutMs)) return std::nullopt;
  return NextKey();
}

bool InputPending() { return WaitingKeyInput() > 0; }

}  // namespace console
