// The help-key menu: the function keys F1..F10 show the files of the F1..F10 lines where the
// terminal delivers them, and the digit keys 1..9, 0 stand in for them where it does not.
#pragma once

#include <cstdint>

namespace vestalo {

// The HelpFiles index a key code selects (1..10), or 0 when it is no digit.
int HelpIndexForKey(uint8_t key);

// The HelpFiles index of a function key's extended code, F1..F10 (1..10), or 0 for any
// other extended code.
int HelpIndexForFunctionKey(uint8_t extendedCode);

// Shows the help files chosen by function and digit keys until "x" or "X", or until input
// is found waiting after a handled key.
void RunHelpKeyMenu();

}  // namespace vestalo
