// The background formats --version names: what the build reads, and what it lacks and why.
#include "console/Console.h"
#include "screen/PictureFile.h"
#include "tools/PngPicture.h"

namespace vestalo::tools {

namespace {

// A format whose decoder needs a library, and the library.
struct LibraryFormat {
  const char* Name;
  const bool& Readable;
  const char* Library;
};

}  // namespace

std::string BackgroundFormats() {
  const LibraryFormat formats[] = {{"PNG", screen::PngReadable, "libpng"},
                                   {"JPEG", screen::JpegReadable, "libjpeg"}};
  std::string read, lacked;
  for (const auto& format : formats) {
    if (format.Readable) read += std::string(format.Name) + ", ";
    else
      lacked += (lacked.empty() ? " (no " : "; no ") + std::string(format.Name) +
                ": built without " + format.Library;
  }
  // LSS16 is the loader's own format: every build reads it.
  return read + "LSS16" + (lacked.empty() ? "" : lacked + ")");
}

std::string TerminalPictureFormats() { return console::PictureProtocols(); }

}  // namespace vestalo::tools
