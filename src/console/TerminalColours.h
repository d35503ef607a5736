// How many colours a terminal shows, and a graphical screen's 24-bit colours brought down to
// what it shows: the nearest of xterm's 256 or of the PC's 16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "screen/ColourScreen.h"

namespace console {

// The colours a terminal is sent: the PC's 16, xterm's 256, or any 24-bit colour.
enum class ColourDepth { Sixteen, Palette256, Direct };

// What the environment says: COLORTERM=truecolor or 24bit, or a TERM ending in "-direct",
// gives 24-bit colours; a TERM naming 256 colours gives 256; any other TERM 16.
ColourDepth DepthFromEnvironment(std::string_view term, std::string_view colorterm);

// The index (16-255) of xterm's 256 colours nearest to the colour: the 6x6x6 cube or the grey
// ramp, whichever is closer. The first 16 are left out: terminals give them colours of their own.
int NearestOf256(const screen::Colour& colour);

// The PC colour (0-15: 1 blue, 4 red, 8 bright) of the VGA palette nearest to the colour.
int NearestOf16(const screen::Colour& colour);

// The SGR sequence that shows later text in these colours at this depth.
std::string SgrForColours(const screen::Colour& foreground, const screen::Colour& background,
                          ColourDepth depth);

// The SGR sequence that changes only the layers given (not null), in 24 bits or 256 colours,
// after a sequence of SgrForColours: shorter, as most cells of a graphics screen differ from
// the one before in their background alone.
void AppendColourChange(std::string& out, const screen::Colour* foreground,
                        const screen::Colour* background, ColourDepth depth);

}  // namespace console
