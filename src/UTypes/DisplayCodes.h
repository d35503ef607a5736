// The one reading of a display file's control codes, for everything that draws or checks a
// screen file: the renderer (and through it the screen grid and the console) and --check.
// Free of I/O: it walks a text and tells a reader what each piece of it is.
#pragma once

#include <cstddef>
#include <string_view>

namespace UTypes {

// The boot loader's control codes in a display file.
constexpr char ColourCodeChar = 0x0F;   // ^O: two hex digits, background then foreground
constexpr char GraphicLineChar = 0x18;  // ^X: the rest of the line names a graphic image
constexpr char IgnoredChar = 0x19;      // ^Y: dropped
constexpr char ClearChar = 0x0C;        // ^L: clears the screen in the current colours
constexpr char FirstModeChar = 0x10;    // ^P..^W choose the output modes that show text
constexpr char LastModeChar = 0x17;

// A character that is no hex digit, or that is missing at the end of the text.
constexpr int NoDigit = -1;

// How many characters a colour code takes.
enum class ColourRule {
  TwoCharacters,  // the two after ^O, whatever they are (the preview's rule)
  LoaderStops,    // up to and including the first that is no hex digit (the boot loader's)
};

// A ^O and the characters after it, as far as the text holds them. Graphic lines between
// them are left out, as if they had been removed from the text first.
struct ColourCode {
  std::size_t At = 0;                  // where the ^O stands
  std::size_t End = 0;                 // where the text goes on after the code
  int Digits[2] = {NoDigit, NoDigit};  // background, then foreground: 0-15 or NoDigit
  std::size_t DigitAt[2] = {0, 0};     // where each character stands
  int Present = 0;                     // how many of the two characters the text holds (0-2)
};

// What the scan finds, piece by piece in the order of the text.
class DisplayCodeReader {
 public:
  virtual ~DisplayCodeReader() = default;
  // A run of bytes that are no control code: drawn as they are.
  virtual void Text(std::size_t at, std::string_view bytes) = 0;
  virtual void Colour(const ColourCode& code) = 0;
  // ^L.
  virtual void Clear(std::size_t at) = 0;
  // ^P..^W: whether the text that follows shows on the text screen (0x11, 0x13, 0x15, 0x17).
  virtual void Mode(std::size_t at, bool shows) = 0;
  // A graphic line from its ^X up to and including its line feed (or the end), left out.
  virtual void GraphicLine(std::size_t, std::size_t) {}
};

// The value of a hex digit in either letter case, as the boot loader reads it; NoDigit for
// any other character.
int HexDigit(char c);

// Reads the whole text once and tells `reader` each piece; ^Y is dropped without a word.
void ScanDisplayText(std::string_view text, ColourRule rule, DisplayCodeReader& reader);

}  // namespace UTypes
