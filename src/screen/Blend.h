// The graphical menu's colours as the loader lays them over its picture: in linear light,
// with its own tables and integer rounding, so that every pixel comes out as on the boot.
#pragma once

#include <array>
#include <cstdint>

#include "screen/ColourScreen.h"

namespace screen {

// A colour as MENU COLOR writes it: #AARRGGBB.
using Argb = uint32_t;

// One channel of `colour` (0-255) laid with `alpha` over the channel `under`.
uint8_t BlendChannel(uint8_t alpha, uint8_t colour, uint8_t under);

// The colour's RGB laid with its alpha over `under`.
Colour Blend(Argb colour, Colour under);

// The sRGB value the loader shows for a linear-light level 0-4095 (its table of 4096).
uint8_t LinearToShown(int level);

// A colour made ready to be laid over many pixels: its alpha, and its channels in linear
// light already weighted by it.
class ColourLayer {
 public:
  explicit ColourLayer(Argb colour);
  Colour Over(Colour under) const {
    return {Channel(Red, under.Red), Channel(Green, under.Green), Channel(Blue, under.Blue)};
  }

 private:
  uint8_t Channel(unsigned weighted, uint8_t under) const {
    return Shown[(weighted + Rest * Linear[under]) >> 12];
  }
  const uint16_t* Linear;
  const uint8_t* Shown;
  unsigned Rest, Red, Green, Blue;
};

// The same for a great many pixels: each channel's 256 results worked out once, so that a
// pixel costs three lookups.
class ColourTable {
 public:
  explicit ColourTable(Argb colour);
  Argb Of() const { return Colour_; }
  // True when laying it changes no pixel (a colour the loader's tables let through whole).
  bool LeavesAsIs() const { return AsIs; }
  Colour Over(Colour under) const {
    return {Results[under.Red], Results[256 + under.Green], Results[512 + under.Blue]};
  }

 private:
  Argb Colour_;
  std::array<uint8_t, 768> Results;
  bool AsIs = true;
};

// The RGB part of an #AARRGGBB colour, its alpha ignored.
constexpr Colour RgbOf(Argb colour) {
  return {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
          static_cast<uint8_t>(colour)};
}

}  // namespace screen
