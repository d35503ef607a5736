// A build without libdeflate makes no PNG file: the terminal keeps the picture's cells.
#include "console/KittyPicture.h"

namespace console {

const bool KittyPicturesBuilt = false;

std::string EncodePng(const screen::Colour*, int, int) { return {}; }

std::string EncodePng(const screen::RgbImage&) { return {}; }

}  // namespace console
