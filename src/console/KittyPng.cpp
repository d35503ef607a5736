// The kitty picture's PNG file, through libpng.
#include <png.h>

#include <vector>

#include "console/KittyPicture.h"

namespace console {

namespace {

// Rows go to libpng as they are held: three bytes a pixel, red first.
static_assert(sizeof(screen::Colour) == 3);

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

}  // namespace

std::string EncodePng(const screen::RgbImage& picture) {
  std::string file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return file;
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(static_cast<std::size_t>(picture.Height));
  for (int y = 0; y < picture.Height; ++y)
    rows[static_cast<std::size_t>(y)] = reinterpret_cast<png_bytep>(const_cast<screen::Colour*>(
        picture.Pixels.data() +
        static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.Width)));
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &file, AppendBytes, NoFlush);
  // Speed over size: the picture goes out again after every key, and a terminal unpacks it.
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width),
               static_cast<png_uint_32>(picture.Height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
}

}  // namespace console
