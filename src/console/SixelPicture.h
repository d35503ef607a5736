// Sixel: a picture in the DEC terminals' graphics, drawn at the cursor, pixel for pixel.
#pragma once

#include <string>

#include "screen/ColourScreen.h"

namespace console {

// The device control string that draws the picture: its colours as registers (each of them
// where it has at most 256, else the nearest of a fixed palette of 252), then six rows a band.
std::string SixelImage(const screen::RgbImage& picture);

}  // namespace console
