// ECMA-48 colour sequences for the PC's text attributes.
#pragma once

#include <cstdint>
#include <string>

namespace console {

// The ECMA-48 colour number (0-7, 1 red, 4 blue) of a PC colour's low three bits (1 blue, 4 red).
int EcmaColour(int pcColour);

// The SGR sequence that shows later text in the attribute's foreground and background:
// colours 0-7 as 30-37/40-47, 8-15 as 90-97/100-107.
std::string SgrFor(uint16_t attr);

}  // namespace console
