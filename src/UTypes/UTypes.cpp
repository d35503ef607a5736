#include "UTypes/UTypes.h"

#include <array>

namespace UTypes {

namespace {

constexpr int NoDigit = -1;

// Hex digits in either letter case, as the boot loader reads them.
constexpr std::array<int, 256> DigitTable = [] {
  std::array<int, 256> table{};
  for (auto& entry : table) entry = NoDigit;
  for (int c = '0'; c <= '9'; ++c) table[c] = c - '0';
  for (int c = 'a'; c <= 'f'; ++c) table[c] = c - 'a' + 10;
  for (int c = 'A'; c <= 'F'; ++c) table[c] = c - 'A' + 10;
  return table;
}();

int DigitAt(std::string_view colourCode, size_t index, int fallback) {
  if (index >= colourCode.size()) return fallback;
  const int digit = DigitTable[static_cast<unsigned char>(colourCode[index])];
  return digit == NoDigit ? fallback : digit;
}

bool IsModeChar(char c) { return c >= FirstModeChar && c <= LastModeChar; }

// The text screen shows what follows 0x11, 0x13, 0x15 and 0x17: the codes that include it.
bool ModeShowsText(char c) { return (c & 1) != 0; }

bool IsSpecial(char c) {
  return c == ColourCodeChar || c == IgnoredChar || c == ClearChar || IsModeChar(c);
}

}  // namespace

std::string StripGraphicLines(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  bool skipping = false;
  for (char c : text) {
    if (c == GraphicLineChar) {
      skipping = true;
    } else if (skipping) {
      if (c == '\n') skipping = false;
    } else {
      kept += c;
    }
  }
  return kept;
}

int BackgroundDigit(std::string_view colourCode) { return DigitAt(colourCode, 1, 0); }

int ForegroundDigit(std::string_view colourCode) { return DigitAt(colourCode, 2, 7); }

void RenderDisplayText(std::string_view text, DisplaySink& sink) {
  // Only a text with a graphic-image line is copied: a large screen is not held twice.
  const bool hasGraphicLines = text.find(GraphicLineChar) != std::string_view::npos;
  const std::string stripped = hasGraphicLines ? StripGraphicLines(text) : std::string();
  const std::string_view shown = hasGraphicLines ? std::string_view(stripped) : text;
  sink.ClearScreen();
  sink.SetTextForeground(7);
  sink.SetTextBackground(0);
  bool showing = true;
  size_t position = 0;
  while (position < shown.size()) {
    const char c = shown[position];
    if (c == ColourCodeChar) {
      const std::string_view colourCode = shown.substr(position, 3);
      const int background = BackgroundDigit(colourCode);
      const int foreground = ForegroundDigit(colourCode);
      // The boot screen skips the colour codes of hidden text, but not its clears.
      if (showing) {
        sink.SetTextForeground(static_cast<uint16_t>(foreground));
        sink.SetTextBackground(static_cast<uint16_t>(background));
      }
      position += 3;
    } else if (c == ClearChar) {
      sink.ClearScreen();
      ++position;
    } else if (IsModeChar(c)) {
      showing = ModeShowsText(c);
      ++position;
    } else if (c == IgnoredChar) {
      ++position;
    } else {
      // A run of plain bytes goes out in one write; it keeps the order and the colours.
      size_t end = position + 1;
      while (end < shown.size() && !IsSpecial(shown[end])) ++end;
      if (showing) sink.Write(shown.substr(position, end - position));
      position = end;
    }
  }
}

}  // namespace UTypes
