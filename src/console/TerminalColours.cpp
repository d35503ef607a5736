#include "console/TerminalColours.h"

#include <array>
#include <cstdint>
#include <string>

#include "console/Sgr.h"

namespace console {

namespace {

// The cube's six levels per channel and the grey ramp's 24 steps (xterm's 256colres.pl).
constexpr std::array<int, 6> CubeLevels = {0, 95, 135, 175, 215, 255};
constexpr int GreyStart = 8, GreyStep = 10, GreySteps = 24;

// The VGA palette, in the PC's order of colours.
// clang-format off
constexpr screen::Colour VgaPalette[16] = {
    {0, 0, 0},    {0, 0, 170},    {0, 170, 0},    {0, 170, 170},
    {170, 0, 0},  {170, 0, 170},  {170, 85, 0},   {170, 170, 170},
    {85, 85, 85}, {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
    {255, 85, 85}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255},
};
// clang-format on

int Square(int value) { return value * value; }

int Distance(const screen::Colour& a, int red, int green, int blue) {
  return Square(a.Red - red) + Square(a.Green - green) + Square(a.Blue - blue);
}

// The cube level nearest to a channel's value; the channels are independent in the cube.
int NearestLevel(int value) {
  int best = 0;
  for (int level = 1; level < 6; ++level)
    if (Square(value - CubeLevels[level]) < Square(value - CubeLevels[best])) best = level;
  return best;
}

// The decimal digits of 0-255, made once: a screen of 24-bit cells writes thousands of them.
struct Decimal {
  char Digits[3];
  uint8_t Length;
};
constexpr std::array<Decimal, 256> Decimals = [] {
  std::array<Decimal, 256> made{};
  for (int value = 0; value < 256; ++value) {
    Decimal& d = made[static_cast<std::size_t>(value)];
    if (value >= 100) d.Digits[d.Length++] = static_cast<char>('0' + value / 100);
    if (value >= 10) d.Digits[d.Length++] = static_cast<char>('0' + value / 10 % 10);
    d.Digits[d.Length++] = static_cast<char>('0' + value % 10);
  }
  return made;
}();

void AppendNumber(std::string& out, int value) {
  if (value >= 0 && value < 256) {
    const Decimal& d = Decimals[static_cast<std::size_t>(value)];
    out.append(d.Digits, d.Length);
  } else {
    out += std::to_string(value);
  }
}

// One layer's SGR parameters (38 foreground, 48 background): 24-bit, or one of 256.
void AppendLayer(std::string& out, int layer, const screen::Colour& colour, ColourDepth depth) {
  AppendNumber(out, layer);
  if (depth != ColourDepth::Direct) {
    out += ";5;";
    AppendNumber(out, NearestOf256(colour));
    return;
  }
  out += ";2;";
  AppendNumber(out, colour.Red);
  out += ';';
  AppendNumber(out, colour.Green);
  out += ';';
  AppendNumber(out, colour.Blue);
}

}  // namespace

ColourDepth DepthFromEnvironment(std::string_view term, std::string_view colorterm) {
  if (colorterm == "truecolor" || colorterm == "24bit" || term.ends_with("-direct"))
    return ColourDepth::Direct;
  if (term.find("256col") != std::string_view::npos) return ColourDepth::Palette256;
  return ColourDepth::Sixteen;
}

int NearestOf256(const screen::Colour& colour) {
  const int red = NearestLevel(colour.Red), green = NearestLevel(colour.Green),
            blue = NearestLevel(colour.Blue);
  const int cube = 16 + 36 * red + 6 * green + blue;
  const int cubeDistance = Distance(colour, CubeLevels[red], CubeLevels[green], CubeLevels[blue]);
  const int mean = (colour.Red + colour.Green + colour.Blue) / 3;
  int step = (mean - GreyStart + GreyStep / 2) / GreyStep;
  step = step < 0 ? 0 : step >= GreySteps ? GreySteps - 1 : step;
  const int grey = GreyStart + GreyStep * step;
  return Distance(colour, grey, grey, grey) < cubeDistance ? 232 + step : cube;
}

int NearestOf16(const screen::Colour& colour) {
  int best = 0;
  for (int pc = 1; pc < 16; ++pc) {
    const screen::Colour& candidate = VgaPalette[pc];
    if (Distance(colour, candidate.Red, candidate.Green, candidate.Blue) <
        Distance(colour, VgaPalette[best].Red, VgaPalette[best].Green, VgaPalette[best].Blue))
      best = pc;
  }
  return best;
}

std::string SgrForColours(const screen::Colour& foreground, const screen::Colour& background,
                          ColourDepth depth) {
  if (depth == ColourDepth::Sixteen)
    return SgrFor(static_cast<uint16_t>(NearestOf16(foreground) | NearestOf16(background) << 4));
  // The leading 0 drops any bold, underline or reverse video a previous program left on.
  std::string sequence = "\x1b[0;";
  AppendLayer(sequence, 38, foreground, depth);
  sequence += ';';
  AppendLayer(sequence, 48, background, depth);
  sequence += 'm';
  return sequence;
}

void AppendColourChange(std::string& out, const screen::Colour* foreground,
                        const screen::Colour* background, ColourDepth depth) {
  out += "\x1b[";
  if (foreground != nullptr) AppendLayer(out, 38, *foreground, depth);
  if (foreground != nullptr && background != nullptr) out += ';';
  if (background != nullptr) AppendLayer(out, 48, *background, depth);
  out += 'm';
}

}  // namespace console
