// The display-file renderer: draws a splash or help screen the way the boot loader draws
// its display files in text mode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace UTypes {

// The boot loader's control codes in a display file.
constexpr char ColourCodeChar = 0x0F;    // ^O: two hex digits, background then foreground
constexpr char GraphicLineChar = 0x18;   // ^X: the rest of the line names a graphic image
constexpr char IgnoredChar = 0x19;       // ^Y: dropped
constexpr char ClearChar = 0x0C;         // ^L: clears the screen in the current colours
constexpr char FirstModeChar = 0x10;     // ^P..^W choose the output modes that show text
constexpr char LastModeChar = 0x17;

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

// The text without its graphic-image lines: from each ^X up to and including the next line feed.
std::string StripGraphicLines(std::string_view text);

// The background colour of a colour code (^O and up to two characters): its second character.
int BackgroundDigit(std::string_view colourCode);

// The foreground colour of a colour code: its third character.
int ForegroundDigit(std::string_view colourCode);

// Clears the screen, starts in light grey on black and draws the text with its colour codes.
void RenderDisplayText(std::string_view text, DisplaySink& sink);

}  // namespace UTypes
