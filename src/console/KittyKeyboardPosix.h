// The kitty keyboard protocol on a POSIX terminal: real key presses and releases.
#pragma once

namespace console::posix {

// Called as the program leaves: when the terminal was asked about the protocol a moment
// ago and has not answered yet, its answer is awaited briefly and read, so that it does not
// reach the shell as typed text. Waits for nothing when the question was never asked.
void FinishKeyboardQuery();

}  // namespace console::posix
