// The PC's 8x16 VGA font, read at run time from the system's console fonts (PSF files).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "screen/Picture.h"

namespace screen {

// Where Debian and most Linux systems keep their console fonts.
constexpr const char* ConsoleFontFolder = "/usr/share/consolefonts";

struct VgaFont {
  FontGlyphs Glyphs{};
  std::vector<std::string> Files;  // the font files the glyphs came from
  int Missing = 0;                 // code page 437 characters that none of them has
};

// The VGA font from the console fonts in `folder`: console-data's default8x16 (IBM's VGA
// font), else console-setup's VGA fonts; no value when none of them is there.
std::optional<VgaFont> FindVgaFont(const std::string& folder = ConsoleFontFolder);

}  // namespace screen
