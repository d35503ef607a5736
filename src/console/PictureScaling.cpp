#include "console/PictureScaling.h"

#include <algorithm>

namespace console {

screen::RgbImage Cropped(const screen::RgbImage& picture, int width, int height) {
  screen::RgbImage part{std::min(width, picture.Width), std::min(height, picture.Height), {}};
  part.Pixels.reserve(static_cast<std::size_t>(part.Width * part.Height));
  for (int y = 0; y < part.Height; ++y)
    for (int x = 0; x < part.Width; ++x) part.Pixels.push_back(picture.At(x, y));
  return part;
}

screen::RgbImage Filled(const screen::RgbImage& picture, int top, int width, int height) {
  screen::RgbImage part{width, height, {}};
  part.Pixels.resize(static_cast<std::size_t>(width * height));
  const int copied = std::min(width, picture.Width);
  for (int y = 0; y < height && top + y < picture.Height && copied > 0; ++y)
    std::copy_n(&picture.At(0, top + y), copied, &part.At(0, y));
  return part;
}

screen::RgbImage Scaled(const screen::RgbImage& picture, int width, int height) {
  if (width == picture.Width && height == picture.Height) return picture;
  screen::RgbImage scaled{width, height, {}};
  scaled.Pixels.resize(static_cast<std::size_t>(width * height));
  if (picture.Width == 0 || picture.Height == 0) return scaled;
  for (int y = 0; y < height; ++y) {
    const int top = y * picture.Height / height;
    const int bottom = std::max(top + 1, (y + 1) * picture.Height / height);
    for (int x = 0; x < width; ++x) {
      const int left = x * picture.Width / width;
      const int right = std::max(left + 1, (x + 1) * picture.Width / width);
      int red = 0, green = 0, blue = 0;
      for (int sy = top; sy < bottom; ++sy)
        for (int sx = left; sx < right; ++sx) {
          const screen::Colour& pixel = picture.At(sx, sy);
          red += pixel.Red, green += pixel.Green, blue += pixel.Blue;
        }
      const int count = (bottom - top) * (right - left);
      // Rounded to the nearest: a flat area keeps its colour exactly.
      scaled.At(x, y) = {static_cast<uint8_t>((red + count / 2) / count),
                         static_cast<uint8_t>((green + count / 2) / count),
                         static_cast<uint8_t>((blue + count / 2) / count)};
    }
  }
  return scaled;
}

}  // namespace console
