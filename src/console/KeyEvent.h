// A key event as a PC console reports it; every platform's key source delivers these.
#pragma once

#include <cstdint>

namespace console {

// Control-key state bits of a key event.
namespace KeyState {
constexpr uint32_t RightAlt = 0x01;
constexpr uint32_t LeftAlt = 0x02;
constexpr uint32_t RightCtrl = 0x04;
constexpr uint32_t LeftCtrl = 0x08;
constexpr uint32_t Shift = 0x10;
constexpr uint32_t NumLock = 0x20;
constexpr uint32_t CapsLock = 0x80;
}  // namespace KeyState

struct KeyEvent {
  bool KeyDown = false;       // pressed (or repeated) rather than released
  uint16_t VirtualKey = 0;    // Windows virtual-key code
  uint16_t ScanCode = 0;      // PC scan code, set 1
  uint8_t Character = 0;      // the character in the console's code page; 0 for none
  uint32_t ControlState = 0;  // KeyState bits
};

// Reads the next key event, blocking; false when keyboard input has ended for good.
// Each platform's keyboard file provides it.
bool ReadKeyEvent(KeyEvent& event);

// The number of key events, or of bytes that will make them, waiting to be read.
int WaitingKeyInput();

// True when a key event, or the end of keyboard input, can be read at once or comes within
// `timeoutMs`; false when the time passed without one.
bool KeyEventWithin(int timeoutMs);

}  // namespace console
