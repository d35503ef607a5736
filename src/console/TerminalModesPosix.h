// The terminal modes the program changes, and the one guard that puts them back on every
// way out: normal end, failure report, and the signals that end or stop the program.
#pragma once

namespace console::posix {

// What the terminal is sent as the program leaves, in this order.
enum class ExitSlot { Picture, Keyboard, Layout, Cursor, Colours, Count };

// Remembers standard input's terminal modes and installs the signal handlers.
void TakeTerminal(bool inputIsTerminal, bool outputIsTerminal);

// Canonical input with echo and signals: the line read of the Enter wait.
void UseLineInput();

// Non-canonical input without echo, signals on: keys are read one by one.
void UseKeyInput();

// Sets the bytes sent to the terminal in `slot` when the program leaves ("" for none).
// The bytes must be at most 4095 long.
void SetExitSequence(ExitSlot slot, const char* bytes);

// Sets the bytes sent again when the program resumes after a stop (Ctrl+Z).
void SetResumeSequence(const char* bytes);

// True once after the program was stopped (Ctrl+Z) and runs again: its screen is to be
// drawn again.
bool TakeResumed();

// A descriptor that turns readable when the program runs again after a stop, for a wait on
// input to watch as well: a stop that comes just before the wait begins does not interrupt
// it. -1 before TakeTerminal. TakeResumed empties it.
int ResumedSignal();

// Sends bytes of the program's own to the terminal (nothing when output is no terminal).
// Async-signal-safe.
void WriteToTerminal(const char* bytes);

// Sends the exit sequences and restores the saved modes. Async-signal-safe; idempotent
// until the modes are changed again.
void RestoreTerminal();

}  // namespace console::posix
