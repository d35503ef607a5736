#include "support/PictureGoldens.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace vestalo::testing {

namespace {

struct Rgb {
  int Width = 0, Height = 0;
  std::vector<png_byte> Pixels;
};

Rgb ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Rgb read;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return read;
  image.format = PNG_FORMAT_RGB;
  read.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, read.Pixels.data(), 0, nullptr)) return {};
  read.Width = static_cast<int>(image.width);
  read.Height = static_cast<int>(image.height);
  return read;
}

bool Masked(int x, int y, const std::vector<int>& masks) {
  for (std::size_t i = 0; i + 3 < masks.size(); i += 4)
    if (x >= masks[i] && x < masks[i] + masks[i + 2] && y >= masks[i + 1] &&
        y < masks[i + 1] + masks[i + 3])
      return true;
  return false;
}

}  // namespace

std::vector<std::string> PictureDifferences(const std::string& ours, const std::string& golden,
                                            int levels, const std::vector<int>& masks) {
  const Rgb mine = ReadPng(ours), theirs = ReadPng(VESTALO_SOURCE_DIR "/" + golden);
  if (mine.Pixels.empty()) return {ours + ": no PNG picture"};
  if (theirs.Pixels.empty()) return {golden + ": no golden picture"};
  if (mine.Width != theirs.Width || mine.Height != theirs.Height)
    return {ours + " is " + std::to_string(mine.Width) + "x" + std::to_string(mine.Height) +
            ", the loader's " + std::to_string(theirs.Width) + "x" + std::to_string(theirs.Height)};
  long compared = 0, equal = 0, beyond = 0;
  std::string first;
  for (int y = 0; y < mine.Height; ++y)
    for (int x = 0; x < mine.Width; ++x) {
      if (Masked(x, y, masks)) continue;
      const auto at = static_cast<std::size_t>((y * mine.Width + x) * 3);
      int largest = 0;
      for (int c = 0; c < 3; ++c)
        largest = std::max(largest, std::abs(mine.Pixels[at + c] - theirs.Pixels[at + c]));
      ++compared;
      equal += largest == 0;
      if (largest > levels && beyond++ == 0)
        first = " (the first at " + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  std::printf("%s: %ld of %ld pixels equal (%.3f%%), %ld beyond %d levels\n", golden.c_str(), equal,
              compared, compared ? 100.0 * equal / compared : 0.0, beyond, levels);
  if (beyond == 0) return {};
  return {ours + ": " + std::to_string(beyond) + " pixels differ from " + golden +
          " by more than " + std::to_string(levels) + " levels" + first};
}

std::vector<std::string> FileLineDifferences(const std::string& file, int number,
                                             const std::string& text, int lines) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {file + " was not made"};
  std::vector<std::string> read;
  for (std::string line; std::getline(in, line);) read.push_back(line);
  std::vector<std::string> found;
  if (lines > 0 && static_cast<int>(read.size()) != lines)
    found.push_back(file + " has " + std::to_string(read.size()) + " lines, not " +
                    std::to_string(lines));
  if (number > 0 && (number > static_cast<int>(read.size()) ||
                     read[static_cast<std::size_t>(number - 1)] != text))
    found.push_back(file + " line " + std::to_string(number) + " reads \"" +
                    (number > static_cast<int>(read.size())
                         ? std::string("(none)")
                         : read[static_cast<std::size_t>(number - 1)]) +
                    "\", not \"" + text + "\"");
  return found;
}

}  // namespace vestalo::testing
