#include "console/KittyPicture.h"

#include <png.h>

#include <vector>

namespace console {

namespace {

// Rows go to libpng as they are held: three bytes a pixel, red first.
static_assert(sizeof(screen::Colour) == 3);

// The largest piece of base64 one command may carry (a multiple of 4).
constexpr std::size_t PieceSize = 4096;

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

std::string Base64(std::string_view bytes) {
  static constexpr char Digits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t left = bytes.size() - at;
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 16;
    if (left > 1) group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[at + 2]);
    text += Digits[group >> 18 & 63];
    text += Digits[group >> 12 & 63];
    text += left > 1 ? Digits[group >> 6 & 63] : '=';
    text += left > 2 ? Digits[group & 63] : '=';
  }
  return text;
}

std::string KittyPlacement(std::string_view png, int id, int columns, int rows) {
  const std::string data = Base64(png);
  std::string commands;
  commands.reserve(data.size() + data.size() / PieceSize * 16 + 96);
  for (std::size_t at = 0; at == 0 || at < data.size(); at += PieceSize) {
    const bool more = at + PieceSize < data.size();
    commands += "\x1b_G";
    // The first piece carries the keys; q=2: no answer, so none comes in among the keys.
    if (at == 0)
      commands += "a=T,f=100,i=" + std::to_string(id) + ",q=2,C=1,c=" + std::to_string(columns) +
                  ",r=" + std::to_string(rows) + ",";
    commands += more ? "m=1;" : "m=0;";
    commands.append(data, at, PieceSize);
    commands += "\x1b\\";
  }
  return commands;
}

std::string KittyDeletion(int id) { return "\x1b_Ga=d,d=I,i=" + std::to_string(id) + ",q=2\x1b\\"; }

}  // namespace console
