// How each byte of a screen file is sent to a terminal so that it shows as on a PC screen.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace console {

// For each byte, the bytes to send to the terminal. Never contains an escape or any other
// control character except the byte itself for CR, LF, TAB, BS and BEL.
using DisplayTable = std::array<std::string, 256>;

// The table for a terminal whose character set is `codeset` (as nl_langinfo(CODESET)
// names it): code page 437 glyphs in UTF-8, or in that character set with '?' for what
// it cannot show. With `glyphsOnly` (the cells of a whole screen) the five control bytes
// are glyphs too.
DisplayTable BuildDisplayTable(std::string_view codeset, bool glyphsOnly = false);

// True for the control bytes that a terminal is allowed to act on: CR, LF, TAB, BS, BEL.
bool IsPassThroughControl(unsigned char byte);

}  // namespace console
