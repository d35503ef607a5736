// PNG backgrounds with libpng, as the loader shows them: every colour type at 8 bits a
// channel (16-bit channels by their high byte), palettes and grey widened to RGB, an alpha
// channel dropped, no gamma applied.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <vector>

#include "screen/PictureFile.h"

namespace screen {

const bool PngReadable = true;

namespace {

struct Source {
  std::string_view Bytes;
  std::size_t At = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (length > source->Bytes.size() - source->At) png_error(png, "cut short");
  std::copy_n(source->Bytes.data() + source->At, length, reinterpret_cast<char*>(out));
  source->At += length;
}

// libpng's errors stop the reading (back to setjmp) and its warnings go on; nothing is
// printed.
void Stop(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Quietly(png_structp, png_const_charp) {}

}  // namespace

PictureFile ReadPng(std::string_view bytes, int maxWidth, int maxHeight) {
  // Everything that outlives a longjmp back here lives on the heap, its pointer unchanged.
  auto file = std::make_unique<PictureFile>();
  auto rows = std::make_unique<std::vector<png_bytep>>();
  auto buffer = std::make_unique<std::vector<png_byte>>();
  Source source{bytes};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Stop, Quietly);
  if (png == nullptr) return {PictureStatus::Damaged, {}};
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    if (file->Status != PictureStatus::TooLarge) file->Status = PictureStatus::Damaged;
    file->Image = {};
    return std::move(*file);
  }
  png_set_read_fn(png, &source, ReadFromMemory);
  png_set_user_limits(png, 65535, 65535);
  png_read_info(png, info);
  const auto width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (width > static_cast<png_uint_32>(maxWidth) || height > static_cast<png_uint_32>(maxHeight)) {
    file->Status = PictureStatus::TooLarge;
    png_error(png, "too large");
  }
  const int type = png_get_color_type(png, info);
  png_set_strip_16(png);
  png_set_packing(png);
  png_set_strip_alpha(png);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if ((type & PNG_COLOR_MASK_COLOR) == 0) {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_channels(png, info) != 3 || png_get_bit_depth(png, info) != 8)
    png_error(png, "unexpected layout");
  const std::size_t stride = png_get_rowbytes(png, info);
  buffer->resize(stride * height);
  rows->resize(height);
  for (std::size_t y = 0; y < height; ++y) (*rows)[y] = buffer->data() + y * stride;
  png_read_image(png, rows->data());
  png_destroy_read_struct(&png, &info, nullptr);
  RgbImage& image = file->Image;
  image.Width = static_cast<int>(width);
  image.Height = static_cast<int>(height);
  image.Pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < image.Pixels.size(); ++i)
    image.Pixels[i] = {(*buffer)[3 * i], (*buffer)[3 * i + 1], (*buffer)[3 * i + 2]};
  file->Status = PictureStatus::Read;
  return std::move(*file);
}

}  // namespace screen
