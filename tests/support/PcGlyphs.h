// What the PC's text mode shows for each byte, taken from outside the program: the C
// library's code page 437 (iconv) for 0x80-0xFF, ASCII, and for the control bytes the PC's
// glyphs written out here (NUL shows as a blank).
#pragma once

#include <iconv.h>

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vestalo::testing {

// The Unicode character shown for each byte.
inline const std::array<char32_t, 256>& PcGlyphs() {
  static const std::array<char32_t, 256> glyphs = [] {
    std::array<char32_t, 256> table{};
    constexpr std::u32string_view Controls = U" ☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼";
    for (int byte = 0; byte < 0x80; ++byte) table[byte] = byte < 0x20 ? Controls[byte] : byte;
    table[0x7F] = U'⌂';
    iconv_t cp437 = iconv_open("UTF-32LE", "CP437");
    if (cp437 == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("no code page 437 in iconv");
    for (int byte = 0x80; byte < 0x100; ++byte) {
      char in = static_cast<char>(byte), out[4];
      char *inPtr = &in, *outPtr = out;
      size_t inLeft = 1, outLeft = 4;
      if (iconv(cp437, &inPtr, &inLeft, &outPtr, &outLeft) != 0 || outLeft != 0)
        throw std::runtime_error("iconv");
      table[byte] = static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
                    static_cast<char32_t>(static_cast<unsigned char>(out[2])) << 16;
    }
    iconv_close(cp437);
    return table;
  }();
  return glyphs;
}

// UTF-8 of a Unicode character.
inline std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) return out += static_cast<char>(c), out;
  const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  constexpr unsigned char Lead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(Lead[tail] | (c >> (6 * tail)));
  for (int i = tail - 1; i >= 0; --i) out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
  return out;
}

// The ECMA-48 colour (1 red, 4 blue, 8-15 bright) a terminal shows for a PC colour (1 blue, 4 red).
inline int TerminalColour(int pcColour) {
  constexpr int Order[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  return Order[pcColour & 7] + (pcColour & 8);
}

}  // namespace vestalo::testing
