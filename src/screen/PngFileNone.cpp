// A build without libpng: PNG backgrounds cannot be read, and the menu shows black for them.
#include "screen/PictureFile.h"

namespace screen {

const bool PngReadable = false;

PictureFile ReadPng(std::string_view, int, int) { return {PictureStatus::Unsupported, {}}; }

}  // namespace screen
