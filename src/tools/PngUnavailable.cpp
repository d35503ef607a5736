// PNG pictures in a build without libpng (the Windows build): the other snapshots are
// written, and the user is told why the picture is not.
#include "tools/PngPicture.h"

namespace vestalo::tools {

namespace {

const char* const NotBuilt = "this build writes no PNG pictures (built without libpng)";

}  // namespace

std::string PngPicture(const screen::ScreenGrid&, std::string& problem) {
  problem = NotBuilt;
  return {};
}

std::string PngPicture(const screen::RgbImage&, std::string& problem) {
  problem = NotBuilt;
  return {};
}

std::string PictureSupport() {
  return std::string("PNG snapshots: ") + NotBuilt + "; menu backgrounds: " + BackgroundFormats() +
         "; terminal pictures: " + TerminalPictureFormats();
}

}  // namespace vestalo::tools
