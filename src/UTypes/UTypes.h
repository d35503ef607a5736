// The display-file renderer: draws a splash or help screen the way the boot loader draws
// its display files in text mode.
#pragma once

#include <cstdint>
#include <string_view>

#include "UTypes/DisplayCodes.h"

namespace UTypes {

// What the renderer draws on: the console, or a recorder in tests.
class DisplaySink {
 public:
  virtual ~DisplaySink() = default;
  // Blanks the screen in the current colours and homes the cursor.
  virtual void ClearScreen() = 0;
  virtual void SetTextForeground(uint16_t colour) = 0;
  virtual void SetTextBackground(uint16_t colour) = 0;
  // Writes bytes to standard output in the current colours.
  virtual void Write(std::string_view bytes) = 0;
};

// The background colour of a colour code: its first character's digit, black when it is
// none or missing.
int BackgroundDigit(const ColourCode& code);

// The foreground colour of a colour code: its second character's digit, light grey when it
// is none or missing.
int ForegroundDigit(const ColourCode& code);

// Clears the screen, starts in light grey on black and draws the text with its colour codes;
// graphic lines are left out, and a colour code always takes the two characters after ^O.
void RenderDisplayText(std::string_view text, DisplaySink& sink);

}  // namespace UTypes
