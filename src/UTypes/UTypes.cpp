#include "UTypes/UTypes.h"

namespace UTypes {

namespace {

// Draws the pieces of a display text on the sink.
class Drawing : public DisplayCodeReader {
 public:
  explicit Drawing(DisplaySink& sink) : Sink(sink) {}

  void Text(std::size_t, std::string_view bytes) override {
    if (Showing) Sink.Write(bytes);
  }
  void Colour(const ColourCode& code) override {
    // The boot screen skips the colour codes of hidden text, but not its clears.
    if (!Showing) return;
    Sink.SetTextForeground(static_cast<uint16_t>(ForegroundDigit(code)));
    Sink.SetTextBackground(static_cast<uint16_t>(BackgroundDigit(code)));
  }
  void Clear(std::size_t) override { Sink.ClearScreen(); }
  void Mode(std::size_t, bool shows) override { Showing = shows; }

 private:
  DisplaySink& Sink;
  bool Showing = true;  // every file starts showing its text
};

}  // namespace

int BackgroundDigit(const ColourCode& code) {
  return code.Digits[0] == NoDigit ? 0 : code.Digits[0];
}

int ForegroundDigit(const ColourCode& code) {
  return code.Digits[1] == NoDigit ? 7 : code.Digits[1];
}

void RenderDisplayText(std::string_view text, DisplaySink& sink) {
  sink.ClearScreen();
  sink.SetTextForeground(7);
  sink.SetTextBackground(0);
  Drawing drawing(sink);
  ScanDisplayText(text, ColourRule::TwoCharacters, drawing);
}

}  // namespace UTypes
