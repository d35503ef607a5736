// PNG pictures of the boot screen, where the build has libpng and the system an 8x16 VGA
// font. PngPicture.cpp draws them; PngUnavailable.cpp stands in for builds without libpng.
#pragma once

#include <string>

#include "screen/ScreenGrid.h"

namespace vestalo::tools {

// The PNG file of the screen as the VGA's text mode shows it; empty, with `problem` telling
// the user why, when this build or this system cannot draw one.
std::string PngPicture(const screen::ScreenGrid& grid, std::string& problem);

// What --version tells about the pictures: the font they are drawn with, or why there are none.
std::string PictureSupport();

}  // namespace vestalo::tools
