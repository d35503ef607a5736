// LSS16, the SYSLINUX family's 16-colour picture: magic 0x1413F33D, width and height (16-bit
// little-endian), 16 colours of three 6-bit channels, then each row as nybbles (low one
// first). A nybble unlike the previous colour is one pixel of it; one like it is followed by
// a count: 1-15 more pixels, or 0 and two nybbles (low first) for 16 + that byte. Each row
// starts with previous colour 0 and ends on a byte boundary.
#include <array>

#include "screen/PictureFile.h"

namespace screen {

namespace {

constexpr std::size_t HeaderSize = 8, PaletteSize = 48;

// Nybbles of the rows, low one of each byte first.
class Nybbles {
 public:
  explicit Nybbles(std::string_view bytes) : Bytes(bytes) {}
  bool Next(int& value) {
    if (At / 2 >= Bytes.size()) return false;
    const auto byte = static_cast<unsigned char>(Bytes[At / 2]);
    value = At % 2 == 0 ? byte & 15 : byte >> 4;
    ++At;
    return true;
  }
  void EndRow() { At += At % 2; }

 private:
  std::string_view Bytes;
  std::size_t At = 0;
};

int Le16(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

}  // namespace

PictureFile ReadLss16(std::string_view bytes, int maxWidth, int maxHeight) {
  PictureFile file;
  // A file that ends before its last row is shown as none: nothing of it is handed on.
  const PictureFile damaged{PictureStatus::Damaged, {}};
  if (bytes.size() < HeaderSize + PaletteSize) return damaged;
  const int width = Le16(bytes, 4), height = Le16(bytes, 6);
  if (width > maxWidth || height > maxHeight) {
    file.Status = PictureStatus::TooLarge;
    return file;
  }
  std::array<Colour, 16> palette;
  for (std::size_t i = 0; i < 16; ++i) {
    // Six bits a channel, widened as the loader widens them: v * 255 / 63, rounded down.
    auto channel = [&](std::size_t k) {
      const int v = static_cast<unsigned char>(bytes[HeaderSize + 3 * i + k]) & 63;
      return static_cast<uint8_t>(v * 255 / 63);
    };
    palette[i] = {channel(0), channel(1), channel(2)};
  }
  RgbImage& image = file.Image;
  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<std::size_t>(width * height));
  Nybbles nybbles(bytes.substr(HeaderSize + PaletteSize));
  for (int y = 0; y < height; ++y) {
    int previous = 0;
    for (int x = 0; x < width;) {
      int n = 0;
      if (!nybbles.Next(n)) return damaged;
      if (n != previous) {
        image.At(x++, y) = palette[static_cast<std::size_t>(n)];
        previous = n;
        continue;
      }
      int run = 0, low = 0, high = 0;
      if (!nybbles.Next(run) || (run == 0 && (!nybbles.Next(low) || !nybbles.Next(high))))
        return damaged;
      if (run == 0) run = 16 + (low | high << 4);
      // A run past the row's end stops at it.
      for (; run > 0 && x < width; --run) image.At(x++, y) = palette[static_cast<std::size_t>(n)];
    }
    nybbles.EndRow();
  }
  file.Status = PictureStatus::Read;
  return file;
}

}  // namespace screen
