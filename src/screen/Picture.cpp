#include "screen/Picture.h"

#include <cstdio>
#include <string>

namespace screen {

namespace {

// The VGA's colour registers hold 6 bits; they reach 8 bits as QEMU's VGA scales them
// (the low bit repeated), so that a picture matches the emulated boot screen pixel for pixel.
constexpr uint8_t FromDac(int sixBits) {
  return static_cast<uint8_t>((sixBits << 2) | ((sixBits & 1) * 3));
}

constexpr Rgb Dac(int red, int green, int blue) {
  return {FromDac(red), FromDac(green), FromDac(blue)};
}

// Characters whose ninth pixel column repeats the eighth, so that line drawing joins up:
// QEMU's VGA takes the shades 0xB0-0xB2 with the line drawing 0xB3-0xDF (IBM's took 0xC0-0xDF).
bool ExtendsToNinthColumn(unsigned char c) { return c >= 0xB0 && c <= 0xDF; }

}  // namespace

// The BIOS's text-mode palette: brown (6) is dark yellow with half its green.
const std::array<Rgb, 16> VgaPalette = {
    Dac(0, 0, 0),    Dac(0, 0, 42),   Dac(0, 42, 0),   Dac(0, 42, 42),
    Dac(42, 0, 0),   Dac(42, 0, 42),  Dac(42, 21, 0),  Dac(42, 42, 42),
    Dac(21, 21, 21), Dac(21, 21, 63), Dac(21, 63, 21), Dac(21, 63, 63),
    Dac(63, 21, 21), Dac(63, 21, 63), Dac(63, 63, 21), Dac(63, 63, 63),
};

std::string HtmlColour(int colour) {
  const Rgb& rgb = VgaPalette[static_cast<size_t>(colour & 15)];
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb.Red, rgb.Green, rgb.Blue);
  return text;
}

std::vector<uint8_t> DrawPicture(const ScreenGrid& grid, const FontGlyphs& glyphs) {
  std::vector<uint8_t> pixels(static_cast<size_t>(PictureWidth * PictureHeight));
  for (int row = 0; row < Rows; ++row) {
    for (int column = 0; column < Columns; ++column) {
      const Cell& cell = grid.At(row, column);
      // Attribute bit 7 brightens the background, as QEMU's VGA and most BIOSes set it up.
      const uint8_t foreground = cell.Attr & 0x0F, background = cell.Attr >> 4;
      const auto& glyph = glyphs[cell.Char];
      for (int y = 0; y < CellHeight; ++y) {
        const int bits = glyph[static_cast<size_t>(y)];
        const int ninth = ExtendsToNinthColumn(cell.Char) ? bits & 1 : 0;
        uint8_t* out = &pixels[static_cast<size_t>((row * CellHeight + y) * PictureWidth +
                                                   column * CellWidth)];
        for (int x = 0; x < 8; ++x) out[x] = (bits >> (7 - x)) & 1 ? foreground : background;
        out[8] = ninth ? foreground : background;
      }
    }
  }
  return pixels;
}

}  // namespace screen
