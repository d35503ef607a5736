#include "UTypes/DisplayCodes.h"

#include <array>

namespace UTypes {

namespace {

// Hex digits in either letter case, as the boot loader reads them.
constexpr std::array<int, 256> DigitTable = [] {
  std::array<int, 256> table{};
  for (auto& entry : table) entry = NoDigit;
  for (int c = '0'; c <= '9'; ++c) table[c] = c - '0';
  for (int c = 'a'; c <= 'f'; ++c) table[c] = c - 'a' + 10;
  for (int c = 'A'; c <= 'F'; ++c) table[c] = c - 'A' + 10;
  return table;
}();

bool IsModeChar(char c) { return c >= FirstModeChar && c <= LastModeChar; }

bool IsCode(char c) {
  return c == ColourCodeChar || c == GraphicLineChar || c == IgnoredChar || c == ClearChar ||
         IsModeChar(c);
}

class Scan {
 public:
  Scan(std::string_view text, ColourRule rule, DisplayCodeReader& reader)
      : Text(text), Rule(rule), Reader(reader) {}

  void Run() {
    std::size_t at = 0;
    while (at < Text.size()) at = Piece(at);
  }

 private:
  // Where a graphic line that starts at `at` ends: after its line feed, or at the text's end.
  std::size_t GraphicLineEnd(std::size_t at) const {
    const std::size_t lineFeed = Text.find('\n', at);
    return lineFeed == std::string_view::npos ? Text.size() : lineFeed + 1;
  }

  // The first position from `at` on that is not within a graphic line, telling the reader
  // of each line passed.
  std::size_t PastGraphicLines(std::size_t at) {
    while (at < Text.size() && Text[at] == GraphicLineChar) {
      const std::size_t end = GraphicLineEnd(at);
      Reader.GraphicLine(at, end - at);
      at = end;
    }
    return at;
  }

  std::size_t ReadColourCode(std::size_t at) {
    ColourCode code;
    code.At = at;
    std::size_t next = at + 1;
    for (int i = 0; i < 2; ++i) {
      next = PastGraphicLines(next);
      if (next >= Text.size()) break;
      code.DigitAt[i] = next;
      code.Digits[i] = HexDigit(Text[next]);
      ++code.Present;
      ++next;
      if (Rule == ColourRule::LoaderStops && code.Digits[i] == NoDigit) break;
    }
    code.End = next;
    Reader.Colour(code);
    return next;
  }

  std::size_t Piece(std::size_t at) {
    const char c = Text[at];
    if (c == ColourCodeChar) return ReadColourCode(at);
    if (c == GraphicLineChar) return PastGraphicLines(at);
    if (c == ClearChar) Reader.Clear(at);
    else if (IsModeChar(c)) Reader.Mode(at, (c & 1) != 0);
    if (IsCode(c)) return at + 1;
    std::size_t end = at + 1;
    while (end < Text.size() && !IsCode(Text[end])) ++end;
    Reader.Text(at, Text.substr(at, end - at));
    return end;
  }

  std::string_view Text;
  ColourRule Rule;
  DisplayCodeReader& Reader;
};

}  // namespace

int HexDigit(char c) { return DigitTable[static_cast<unsigned char>(c)]; }

void ScanDisplayText(std::string_view text, ColourRule rule, DisplayCodeReader& reader) {
  Scan(text, rule, reader).Run();
}

}  // namespace UTypes
