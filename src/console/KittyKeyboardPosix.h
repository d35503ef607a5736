// The kitty keyboard protocol on a POSIX terminal: real key presses and releases.
#pragma once

namespace console::posix {

// Asks the terminal whether it speaks the kitty keyboard protocol, when standard input and
// output are both terminals; keys typed meanwhile are kept. Runs once at start, after the
// terminal modes are taken and before anything is drawn.
void DetectKittyKeyboard();

}  // namespace console::posix
