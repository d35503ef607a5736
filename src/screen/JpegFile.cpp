// JPEG backgrounds with libjpeg, decoded as near as it comes to the loader: chroma
// replicated, not interpolated (fancy upsampling off), and the floating-point inverse DCT,
// as the loader's is. Its own DCT and colour conversion still differ from libjpeg's by up to
// 3 levels in about one pixel in six (docs/graphical-menu.md, "Backgrounds").
// clang-format off
#include <cstdio>  // jpeglib.h needs FILE declared before it
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <functional>
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

// The most rows libjpeg hands out in one call: fewer calls, and no row copied through its own
// buffer on the way.
constexpr int RowsAtOnce = 16;

// Decodes `bytes` as the loader does: `size` is told the picture's size before any row (and
// may refuse it); `rows` gives where up to `count` rows from row `y` on are to be written,
// and `written` is told how many were; only rows `from` to before `to` are. Everything that
// outlives a longjmp back here lives on the heap, its pointer unchanged.
PictureStatus Decode(std::string_view bytes, const std::function<bool(int width, int height)>& size,
                     const std::function<Colour*(int y, int count)>& rows,
                     const std::function<void(int y, int count)>& written, int from = 0,
                     int to = 1 << 30) {
  auto info = std::make_unique<jpeg_decompress_struct>();
  auto errors = std::make_unique<Errors>();
  auto status = std::make_unique<PictureStatus>(PictureStatus::Damaged);
  info->err = jpeg_std_error(&errors->Manager);
  errors->Manager.error_exit = Stop;
  errors->Manager.emit_message = Quietly;
  if (setjmp(errors->Back)) {
    jpeg_destroy_decompress(info.get());
    return *status;
  }
  jpeg_create_decompress(info.get());
  jpeg_mem_src(info.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(info.get(), TRUE);
  if (!size(static_cast<int>(info->image_width), static_cast<int>(info->image_height))) {
    *status = PictureStatus::TooLarge;
    Stop(reinterpret_cast<j_common_ptr>(info.get()));
  }
  info->out_color_space = JCS_RGB;
  info->do_fancy_upsampling = FALSE;
  info->dct_method = JDCT_FLOAT;  // a sixth fewer pixels off than the integer one
  jpeg_start_decompress(info.get());
  const int width = static_cast<int>(info->output_width);
  const int end = std::min(to, static_cast<int>(info->output_height));
  // The rows above are skipped: their coefficients are read, but not turned into pixels.
  if (from > 0 && from < end) jpeg_skip_scanlines(info.get(), static_cast<JDIMENSION>(from));
  // A pixel is three bytes, red first, as libjpeg writes RGB.
  static_assert(sizeof(Colour) == 3);
  while (static_cast<int>(info->output_scanline) < end) {
    const int y = static_cast<int>(info->output_scanline);
    const int count = std::min(RowsAtOnce, end - y);
    Colour* first = rows(y, count);
    JSAMPROW pointers[RowsAtOnce];
    for (int i = 0; i < count; ++i)
      pointers[i] = reinterpret_cast<JSAMPROW>(first + static_cast<std::size_t>(i) * width);
    written(y, static_cast<int>(
                   jpeg_read_scanlines(info.get(), pointers, static_cast<JDIMENSION>(count))));
  }
  // Rows left below are not read: the decoding is dropped rather than finished.
  if (info->output_scanline >= info->output_height) jpeg_finish_decompress(info.get());
  jpeg_destroy_decompress(info.get());
  return PictureStatus::Read;
}

}  // namespace

PictureFile ReadJpeg(std::string_view bytes, int maxWidth, int maxHeight) {
  PictureFile file;
  RgbImage& image = file.Image;
  file.Status = Decode(
      bytes,
      [&](int width, int height) {
        if (width > maxWidth || height > maxHeight) return false;
        image.Width = width, image.Height = height;
        image.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        return true;
      },
      // Straight into the picture.
      [&](int y, int) { return &image.At(0, y); }, [](int, int) {});
  if (file.Status != PictureStatus::Read) file.Image = {};
  return file;
}

bool ReadJpegRows(std::string_view bytes, int width, int height,
                  const std::function<void(int y, const Colour* row)>& take, int from, int to) {
  std::vector<Colour> band;
  const PictureStatus status = Decode(
      bytes,
      [&](int w, int h) {
        if (w != width || h != height) return false;
        band.resize(static_cast<std::size_t>(width) * RowsAtOnce);
        return true;
      },
      [&](int, int) { return band.data(); },
      [&](int y, int count) {
        for (int i = 0; i < count; ++i)
          take(y + i, &band[static_cast<std::size_t>(i) * static_cast<std::size_t>(width)]);
      },
      from, to);
  return status == PictureStatus::Read;
}

}  // namespace screen
