// Any bytes as a background picture of the graphical menu: the PNG, JPEG and LSS16
// decoders and the PSF font reader must come back with a picture or a reason, never crash,
// never hand on a picture larger than the screen, and what they read must lay out as a
// whole screen. The first byte picks the format's signature to put in front, so that every
// decoder gets its share of the mutations.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "screen/CellFont.h"
#include "screen/GraphicalDrawing.h"
#include "screen/PictureFile.h"

namespace {

constexpr std::string_view Signatures[] = {"", "\x89PNG\r\n\x1a\n", "\xFF\xD8", "\x3D\xF3\x13\x14",
                                           "\x36\x04"};

void Require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t kind = data[0] % std::size(Signatures);
  const std::string bytes = std::string(Signatures[kind]) +
                            std::string(reinterpret_cast<const char*>(data + 1), size - 1);
  if (kind == 4) {
    if (const auto font = screen::ReadPsfFont(bytes))
      Require(font->Height >= 1 &&
              font->Rows.size() == static_cast<std::size_t>(256 * font->Height));
    return 0;
  }
  // A small screen, so that large pictures are refused early and small ones tile.
  constexpr int Width = 96, Height = 64;
  const screen::PictureFile file = screen::ReadPicture(bytes, Width, Height);
  if (file.Status == screen::PictureStatus::Read) {
    const screen::RgbImage& image = file.Image;
    Require(image.Width >= 0 && image.Width <= Width && image.Height >= 0 &&
            image.Height <= Height);
    Require(image.Pixels.size() == static_cast<std::size_t>(image.Width * image.Height));
  } else {
    Require(file.Image.Pixels.empty());
  }
  const screen::RgbImage laid = screen::LaidBackground(file, Width, Height);
  Require(laid.Width == Width && laid.Height == Height &&
          laid.Pixels.size() == static_cast<std::size_t>(Width * Height));
  return 0;
}
