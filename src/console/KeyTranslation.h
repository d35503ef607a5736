// Key events into the one-byte key codes of the PC keyboard interface: a character, or 0
// announcing an extended code that the next call returns.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "console/KeyEvent.h"

namespace console {

// The upper-case partner of a code page 437 letter; other bytes unchanged.
uint8_t UpperCase437(uint8_t ch);

// True for a code page 437 upper-case letter (one a console reports with Shift held).
bool IsUpperCase437(uint8_t ch);

// The key state of NextKey and the translation of one key event at a time. Pure: the
// events come from a console, a terminal decoder or a test alike.
class KeyTranslation {
 public:
  // The extended code the call after a 0 returns; set from each accepted key event.
  uint8_t PendingCode = 32;
  // The code returned last; 0 means an extended code waits in PendingCode.
  uint8_t LastResult = 32;

  // The next key code: the waiting extended code, or the translation of the first event
  // `read` delivers that is not skipped. Empty when `read` reports the end of input.
  std::optional<uint8_t> NextKey(const std::function<bool(KeyEvent&)>& read);

  // Translates one event; empty when it is skipped (a press, a modifier key alone, a key
  // with neither character nor scan code).
  std::optional<uint8_t> Translate(const KeyEvent& event);

 private:
  uint8_t CharacterCode(uint8_t ch, uint32_t state);
  void ChangeExtendedCode(uint32_t state);
};

}  // namespace console
