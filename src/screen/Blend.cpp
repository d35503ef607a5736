#include "screen/Blend.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace screen {

namespace {

// The loader's two tables: an sRGB value to 16-bit linear light, and 4096 steps of linear
// light back to sRGB, each step taken at its middle (docs/graphical-menu.md, "Colours").
struct Tables {
  std::array<uint16_t, 256> ToLinear{};
  std::array<uint8_t, 4096> ToShown{};

  Tables() {
    for (int v = 0; v < 256; ++v)
      ToLinear[static_cast<std::size_t>(v)] =
          static_cast<uint16_t>(std::lround(65535 * Decoded(v / 255.0)));
    // Each step's value is lround(255 * Encoded(its light)). Rather than encoding all 4096,
    // the steps are walked upwards past the light where each next value begins; only a step
    // next to such a border is encoded, so that it comes out as the encoding rounds it.
    std::array<double, 256> begins{};  // the light where 255 * Encoded reaches value - 0.5
    for (int value = 1; value < 256; ++value)
      begins[static_cast<std::size_t>(value)] = Decoded((value - 0.5) / 255);
    int value = 0;
    for (int i = 0; i < 4096; ++i) {
      const double linear = Step(i);
      while (value < 255 && linear > begins[static_cast<std::size_t>(value + 1)] * (1 + Near))
        ++value;
      const bool near =
          value < 255 && linear >= begins[static_cast<std::size_t>(value + 1)] * (1 - Near);
      ToShown[static_cast<std::size_t>(i)] =
          near ? static_cast<uint8_t>(std::lround(255 * Encoded(linear)))
               : static_cast<uint8_t>(value);
      value = ToShown[static_cast<std::size_t>(i)];
    }
  }

  // The middle of linear step i of 4096, in 0-1.
  static double Step(int i) { return std::min((16.0 * i + 8) / 65279, 1.0); }
  // sRGB's encoding of linear light, and its decoding, both in 0-1.
  static double Encoded(double linear) {
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  }
  static double Decoded(double s) {
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  }
  // How near a border a step must be to be encoded itself: far beyond the error of either.
  static constexpr double Near = 1e-9;
};

const Tables& Table() {
  static const Tables tables;
  return tables;
}

}  // namespace

uint8_t BlendChannel(uint8_t alpha, uint8_t colour, uint8_t under) {
  const Tables& t = Table();
  const unsigned linear =
      (alpha * unsigned{t.ToLinear[colour]} + (255u - alpha) * unsigned{t.ToLinear[under]}) >> 8;
  return t.ToShown[linear >> 4];
}

Colour Blend(Argb colour, Colour under) {
  const auto alpha = static_cast<uint8_t>(colour >> 24);
  const Colour rgb = RgbOf(colour);
  return {BlendChannel(alpha, rgb.Red, under.Red), BlendChannel(alpha, rgb.Green, under.Green),
          BlendChannel(alpha, rgb.Blue, under.Blue)};
}

ColourLayer::ColourLayer(Argb colour)
    : Linear(Table().ToLinear.data()), Shown(Table().ToShown.data()), Rest(255 - (colour >> 24)) {
  const unsigned alpha = colour >> 24;
  const Colour rgb = RgbOf(colour);
  Red = alpha * Linear[rgb.Red];
  Green = alpha * Linear[rgb.Green];
  Blue = alpha * Linear[rgb.Blue];
}

ColourTable::ColourTable(Argb colour) : Colour_(colour) {
  const ColourLayer layer(colour);
  for (int v = 0; v < 256; ++v) {
    const auto value = static_cast<uint8_t>(v);
    Results[static_cast<std::size_t>(v)] = layer.Over({value, 0, 0}).Red;
    Results[static_cast<std::size_t>(256 + v)] = layer.Over({0, value, 0}).Green;
    Results[static_cast<std::size_t>(512 + v)] = layer.Over({0, 0, value}).Blue;
  }
  for (std::size_t i = 0; i < Results.size(); ++i) AsIs = AsIs && Results[i] == (i & 0xFF);
}

uint8_t LinearToShown(int level) {
  return Table().ToShown[static_cast<std::size_t>(std::clamp(level, 0, 4095))];
}

}  // namespace screen
