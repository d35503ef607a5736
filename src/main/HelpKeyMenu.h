// The help-key menu: digit keys 1..9, 0 stand in for the boot loader's F1..F9, F10.
#pragma once

#include <cstdint>

namespace vestalo {

// The HelpFiles index a key code selects (1..10), or 0 when it is no digit.
int HelpIndexForKey(uint8_t key);

// Shows the help files chosen by digit keys until "x" or "X", or until input is found
// waiting after a handled key.
void RunHelpKeyMenu();

}  // namespace vestalo
