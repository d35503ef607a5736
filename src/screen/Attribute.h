// Colour attribute arithmetic shared by every console backend.
#pragma once

#include <cstdint>

namespace screen {

// The attribute after setting the foreground: the argument is not masked, bits above 7 go.
constexpr uint16_t WithForeground(uint16_t attr, uint16_t colour) {
  return static_cast<uint16_t>((attr & 0x00F0) | colour);
}

// The attribute after setting the background; a colour of 16 or more is already shifted.
constexpr uint16_t WithBackground(uint16_t attr, uint16_t colour) {
  if (colour < 16) colour = static_cast<uint16_t>(colour << 4);
  return static_cast<uint16_t>((attr & 0x000F) | colour);
}

// The attribute a PC text screen starts with: light grey on black.
constexpr uint16_t StartAttr = 0x07;

}  // namespace screen
