// A graphical screen's picture brought to the part and the size a terminal shows.
#pragma once

#include "screen/ColourScreen.h"

namespace console {

// The top left `width` x `height` pixels of the picture (at most the whole of it).
screen::RgbImage Cropped(const screen::RgbImage& picture, int width, int height);

// `width` x `height` pixels of the picture from its left edge and pixel row `top` down,
// black where it is smaller.
screen::RgbImage Filled(const screen::RgbImage& picture, int top, int width, int height);

// The picture drawn again at `width` x `height` pixels: each new pixel the mean of the
// pixels it covers (at least the one under its top left corner).
screen::RgbImage Scaled(const screen::RgbImage& picture, int width, int height);

}  // namespace console
