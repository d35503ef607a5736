// JPEG backgrounds with libjpeg, decoded as near as it comes to the loader: chroma
// replicated, not interpolated (fancy upsampling off), and the floating-point inverse DCT,
// as the loader's is. Its own DCT and colour conversion still differ from libjpeg's by up to
// 3 levels in about one pixel in six (docs/graphical-menu.md, "Backgrounds").
// clang-format off
#include <cstdio>  // jpeglib.h needs FILE declared before it
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <memory>
#include <vector>

#include "screen/PictureFile.h"

namespace screen {

const bool JpegReadable = true;

namespace {

struct Errors {
  jpeg_error_mgr Manager;
  std::jmp_buf Back;
};

[[noreturn]] void Stop(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Errors*>(info->err)->Back, 1);
}

// Warnings (a damaged stretch of data) are not printed; the decoding goes on.
void Quietly(j_common_ptr, int) {}

}  // namespace

PictureFile ReadJpeg(std::string_view bytes, int maxWidth, int maxHeight) {
  // Everything that outlives a longjmp back here lives on the heap, its pointer unchanged.
  auto file = std::make_unique<PictureFile>();
  auto info = std::make_unique<jpeg_decompress_struct>();
  auto errors = std::make_unique<Errors>();
  info->err = jpeg_std_error(&errors->Manager);
  errors->Manager.error_exit = Stop;
  errors->Manager.emit_message = Quietly;
  if (setjmp(errors->Back)) {
    jpeg_destroy_decompress(info.get());
    if (file->Status != PictureStatus::TooLarge) file->Status = PictureStatus::Damaged;
    file->Image = {};
    return std::move(*file);
  }
  jpeg_create_decompress(info.get());
  jpeg_mem_src(info.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(info.get(), TRUE);
  if (info->image_width > static_cast<JDIMENSION>(maxWidth) ||
      info->image_height > static_cast<JDIMENSION>(maxHeight)) {
    file->Status = PictureStatus::TooLarge;
    Stop(reinterpret_cast<j_common_ptr>(info.get()));
  }
  info->out_color_space = JCS_RGB;
  info->do_fancy_upsampling = FALSE;
  info->dct_method = JDCT_FLOAT;  // a sixth fewer pixels off than the integer one
  jpeg_start_decompress(info.get());
  RgbImage& image = file->Image;
  image.Width = static_cast<int>(info->output_width);
  image.Height = static_cast<int>(info->output_height);
  image.Pixels.resize(static_cast<std::size_t>(image.Width) *
                      static_cast<std::size_t>(image.Height));
  // Straight into the picture: a pixel is three bytes, red first, as libjpeg writes RGB.
  static_assert(sizeof(Colour) == 3);
  while (info->output_scanline < info->output_height) {
    JSAMPROW rows[1] = {
        reinterpret_cast<JSAMPROW>(&image.Pixels[static_cast<std::size_t>(info->output_scanline) *
                                                 static_cast<std::size_t>(image.Width)])};
    jpeg_read_scanlines(info.get(), rows, 1);
  }
  jpeg_finish_decompress(info.get());
  jpeg_destroy_decompress(info.get());
  file->Status = PictureStatus::Read;
  return std::move(*file);
}

}  // namespace screen
