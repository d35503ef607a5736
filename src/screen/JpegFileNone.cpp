// A build without libjpeg: JPEG backgrounds cannot be read, and the menu shows black for them.
#include "screen/PictureFile.h"

namespace screen {

const bool JpegReadable = false;

PictureFile ReadJpeg(std::string_view, int, int) { return {PictureStatus::Unsupported, {}}; }

bool ReadJpegRows(std::string_view, int, int, const std::function<void(int, const Colour*)>&, int,
                  int) {
  return false;
}

}  // namespace screen
