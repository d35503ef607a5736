// PNG pictures of the boot screen, where the build has libpng and the system an 8x16 VGA
// font. PngPicture.cpp draws them; PngUnavailable.cpp stands in for builds without libpng.
#pragma once

#include <string>

#include "screen/ColourScreen.h"
#include "screen/ScreenGrid.h"

namespace vestalo::tools {

// The PNG file of the screen as the VGA's text mode shows it; empty, with `problem` telling
// the user why, when this build or this system cannot draw one.
std::string PngPicture(const screen::ScreenGrid& grid, std::string& problem);

// The PNG file of a picture as it is, pixel for pixel (the graphical menu's screen); empty,
// with `problem` telling the user why, when this build has no PNG writer.
std::string PngPicture(const screen::RgbImage& picture, std::string& problem);

// What --version tells about the pictures: the font they are drawn with, or why there are none,
// and the picture formats the graphical menu's backgrounds are read in.
std::string PictureSupport();

// The background picture formats this build reads, and those it lacks with the reason:
// "PNG, JPEG, LSS16" or, say, "PNG, LSS16 (no JPEG: built without libjpeg)".
std::string BackgroundFormats();
// The picture protocols of terminals this build sends the graphical menu in.
std::string TerminalPictureFormats();

}  // namespace vestalo::tools
