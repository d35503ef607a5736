#include "console/SixelPicture.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace console {

namespace {

constexpr int Registers = 256;
// The fixed palette of a picture with more colours: 6 levels of red and blue, 7 of green.
constexpr int RedLevels = 6, GreenLevels = 7, BlueLevels = 6;

uint32_t Key(const screen::Colour& colour) {
  return static_cast<uint32_t>(colour.Red) << 16 | static_cast<uint32_t>(colour.Green) << 8 |
         colour.Blue;
}

int Level(int value, int levels) { return (value * (levels - 1) + 127) / 255; }

uint8_t LevelValue(int level, int levels) {
  return static_cast<uint8_t>(level * 255 / (levels - 1));
}

// Each pixel's register, and the registers' colours.
struct Indexed {
  std::vector<uint8_t> Pixels;
  std::vector<screen::Colour> Palette;
};

Indexed ToRegisters(const screen::RgbImage& picture) {
  Indexed indexed;
  indexed.Pixels.reserve(picture.Pixels.size());
  std::unordered_map<uint32_t, uint8_t> registers;
  for (const screen::Colour& pixel : picture.Pixels) {
    auto [found, added] = registers.try_emplace(Key(pixel), indexed.Palette.size());
    if (added && indexed.Palette.size() == Registers) break;
    if (added) indexed.Palette.push_back(pixel);
    indexed.Pixels.push_back(found->second);
  }
  if (indexed.Pixels.size() == picture.Pixels.size()) return indexed;
  // Too many colours for the registers: the nearest levels of the fixed palette.
  indexed = {};
  for (int red = 0; red < RedLevels; ++red)
    for (int green = 0; green < GreenLevels; ++green)
      for (int blue = 0; blue < BlueLevels; ++blue)
        indexed.Palette.push_back({LevelValue(red, RedLevels), LevelValue(green, GreenLevels),
                                   LevelValue(blue, BlueLevels)});
  for (const screen::Colour& pixel : picture.Pixels)
    indexed.Pixels.push_back(static_cast<uint8_t>(
        (Level(pixel.Red, RedLevels) * GreenLevels + Level(pixel.Green, GreenLevels)) * BlueLevels +
        Level(pixel.Blue, BlueLevels)));
  return indexed;
}

int Percent(int value) { return (value * 100 + 127) / 255; }

// A run of one sixel character, repeated with '!' where that is shorter.
void PutRun(std::string& out, char sixel, int count) {
  if (count > 3) {
    out += '!';
    out += std::to_string(count);
    out += sixel;
  } else out.append(static_cast<std::size_t>(count), sixel);
}

}  // namespace

std::string SixelImage(const screen::RgbImage& picture) {
  const Indexed indexed = ToRegisters(picture);
  const int width = picture.Width, height = picture.Height;
  // Built piece by piece: GCC 12 warns falsely of overlapping copies in "text" + string.
  std::string out = "\x1bPq\"1;1;";
  out += std::to_string(width);
  out += ';';
  out += std::to_string(height);
  for (std::size_t n = 0; n < indexed.Palette.size(); ++n) {
    const screen::Colour& colour = indexed.Palette[n];
    out += '#';
    out += std::to_string(n);
    out += ";2;";
    out += std::to_string(Percent(colour.Red));
    out += ';';
    out += std::to_string(Percent(colour.Green));
    out += ';';
    out += std::to_string(Percent(colour.Blue));
  }
  std::vector<uint8_t> bits(static_cast<std::size_t>(width));
  for (int top = 0; top < height; top += 6) {
    const int rows = std::min(6, height - top);
    // The registers this band uses, each drawn as one pass over the band.
    std::vector<bool> used(indexed.Palette.size());
    for (int y = top; y < top + rows; ++y)
      for (int x = 0; x < width; ++x)
        used[indexed.Pixels[static_cast<std::size_t>(y * width + x)]] = true;
    bool first = true;
    for (std::size_t n = 0; n < used.size(); ++n) {
      if (!used[n]) continue;
      std::fill(bits.begin(), bits.end(), 0);
      for (int row = 0; row < rows; ++row)
        for (int x = 0; x < width; ++x)
          if (indexed.Pixels[static_cast<std::size_t>((top + row) * width + x)] == n)
            bits[static_cast<std::size_t>(x)] |= static_cast<uint8_t>(1 << row);
      out += first ? "#" : "$#";
      out += std::to_string(n);
      first = false;
      // The columns after the last pixel of this colour are left out.
      int end = width;
      while (end > 0 && bits[static_cast<std::size_t>(end - 1)] == 0) --end;
      for (int x = 0; x < end;) {
        int run = 1;
        while (x + run < end &&
               bits[static_cast<std::size_t>(x + run)] == bits[static_cast<std::size_t>(x)])
          ++run;
        PutRun(out, static_cast<char>(0x3F + bits[static_cast<std::size_t>(x)]), run);
        x += run;
      }
    }
    if (top + 6 < height) out += "-";
  }
  return out + "\x1b\\";
}

}  // namespace console
