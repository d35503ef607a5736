#include "console/Sgr.h"

namespace console {

int EcmaColour(int pcColour) {
  // Blue and red swap places between the PC's order and ECMA-48's.
  return ((pcColour & 1) << 2) | (pcColour & 2) | ((pcColour & 4) >> 2);
}

std::string SgrFor(uint16_t attr) {
  const int fg = attr & 0x0F;
  const int bg = (attr >> 4) & 0x0F;
  const int fgCode = (fg < 8 ? 30 : 90) + EcmaColour(fg);
  const int bgCode = (bg < 8 ? 40 : 100) + EcmaColour(bg);
  // The leading 0 drops any bold, underline or reverse video a previous program left on.
  return "\x1b[0;" + std::to_string(fgCode) + ";" + std::to_string(bgCode) + "m";
}

}  // namespace console
