// The boot menu as the loader's menu module runs it: its screen on the console after every
// key and as the countdown runs, and what Vestalo does where the loader would leave it.
#pragma once

#include <cstdint>

#include "menu/Session.h"
#include "menu/Start.h"

namespace vestalo {

// Runs the menu the start found until the user ends Vestalo: Enter on an entry that boots
// shows what would run (any key returns); a CONFIG entry opens that configuration (its menu,
// or its splash screen and the help-key menu); Esc at the top leaves the menu on the screen
// with the loader's boot: prompt, where the help-key menu of that configuration runs.
// Where a digit is no hotkey of the menu on screen, 1..9, 0 stand in for F1..F10.
void RunBootMenu(const menu::MenuStart& start);

// The menu key a PC key code stands for: digits for the function keys where the menu does
// not take them as they are.
menu::Key MenuKeyFor(uint8_t code, uint8_t extended, bool menuTakesCharacter);

}  // namespace vestalo
