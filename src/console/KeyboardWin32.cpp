// Key events from the Windows console's input records.
#include <windows.h>

#include "console/Console.h"
#include "console/ConsoleWin32.h"
#include "console/KeyEvent.h"

namespace console {

namespace {

// A console whose reads keep failing is given up, so that the program never spins.
constexpr int FailedReadLimit = 100;

bool InputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(ConsoleInputHandle(), &mode) != 0;
}

KeyEvent FromRecord(const KEY_EVENT_RECORD& key) {
  KeyEvent event;
  event.KeyDown = key.bKeyDown != 0;
  event.VirtualKey = key.wVirtualKeyCode;
  event.ScanCode = key.wVirtualScanCode & 0xFF;
  event.Character = static_cast<uint8_t>(key.uChar.AsciiChar);
  event.ControlState = key.dwControlKeyState;
  return event;
}

}  // namespace

bool ReadKeyEvent(KeyEvent& event) {
  FlushConsole();  // whatever was drawn is on the screen before a key is awaited
  int failures = 0;
  for (;;) {
    INPUT_RECORD record;
    DWORD got = 0;
    if (!ReadConsoleInputA(ConsoleInputHandle(), &record, 1, &got)) {
      // A file, pipe or device instead of a console has no key to give, ever.
      if (!InputIsConsole() || ++failures >= FailedReadLimit) return false;
      Sleep(10);
      continue;
    }
    failures = 0;
    if (got == 1 && record.EventType == KEY_EVENT) {
      event = FromRecord(record.Event.KeyEvent);
      return true;
    }
  }
}

bool KeyEventWithin(int timeoutMs) {
  const HANDLE input = ConsoleInputHandle();
  if (!InputIsConsole()) return true;  // ReadKeyEvent then reports the end at once
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
  for (;;) {
    // Records other than keys (focus, mouse, size) are dropped here, so that the reader
    // never blocks on one while the caller has work to do between keys.
    INPUT_RECORD record;
    DWORD got = 0;
    while (PeekConsoleInputA(input, &record, 1, &got) && got == 1) {
      if (record.EventType == KEY_EVENT) return true;
      ReadConsoleInputA(input, &record, 1, &got);
    }
    const DWORD now = GetTickCount();
    if (static_cast<int>(deadline - now) <= 0) return false;
    WaitForSingleObject(input, deadline - now);
  }
}

int WaitingKeyInput() {
  DWORD count = 0;
  if (!GetNumberOfConsoleInputEvents(ConsoleInputHandle(), &count)) return 0;
  return static_cast<int>(count);
}

}  // namespace console
