// Picture files as the graphical menu reads them for its background: PNG (with libpng),
// JPEG (with libjpeg, decoded as the loader decodes it) and the loader's own LSS16. Bytes in,
// pixels out; a file the program cannot read comes back with the reason, never a crash.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "screen/ColourScreen.h"

namespace screen {

enum class PictureStatus {
  Read,         // Image holds the picture
  TooLarge,     // wider or higher than the screen (the loader then shows black)
  Damaged,      // the file is cut short or broken
  Unknown,      // no picture format the loader reads
  Unsupported,  // a format this build cannot read (built without its library)
};

struct PictureFile {
  PictureStatus Status = PictureStatus::Unknown;
  RgbImage Image;
};

// Reads a PNG, JPEG or LSS16 file of at most maxWidth x maxHeight pixels.
PictureFile ReadPicture(std::string_view bytes, int maxWidth, int maxHeight);

// The picture formats this build reads, for --version: "PNG, JPEG, LSS16" or fewer.
std::string ReadablePictureFormats();

// The decoders, one a file: each takes the bytes of its own format.
PictureFile ReadPng(std::string_view bytes, int maxWidth, int maxHeight);
PictureFile ReadJpeg(std::string_view bytes, int maxWidth, int maxHeight);
PictureFile ReadLss16(std::string_view bytes, int maxWidth, int maxHeight);
// A JPEG of exactly `width` x `height` pixels decoded as ReadJpeg decodes it, each pixel row
// handed to `take` as it comes, top to bottom, without the whole picture ever being held:
// cheaper where only something worked out from the rows is wanted. Only rows `from` to
// before `to` are handed on: those above are skipped (their data read, not decoded), those
// below not read. False (after some rows, perhaps) for any other file, size or a damaged one,
// which ReadJpeg then tells apart.
bool ReadJpegRows(std::string_view bytes, int width, int height,
                  const std::function<void(int y, const Colour* row)>& take, int from = 0,
                  int to = 1 << 30);
// Whether this build has the decoders that need a library.
extern const bool PngReadable, JpegReadable;

}  // namespace screen
