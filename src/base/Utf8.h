// UTF-8, read and written in one place: the terminal's keys and glyphs, the console fonts'
// tables, and --check's look for text saved as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vestalo {

struct Utf8Char {
  enum Kind {
    Character,   // a well-formed character (one byte for ASCII)
    Incomplete,  // the bytes end inside a character that may still be well formed
    Invalid,     // the first byte starts no well-formed character; Length is 1
  } Result = Invalid;
  char32_t CodePoint = 0;
  std::size_t Length = 0;
};

// The character at the start of `bytes` (not empty), strictly: no overlong forms, no
// surrogates, nothing above U+10FFFF.
Utf8Char DecodeUtf8(std::string_view bytes);

// The UTF-8 bytes of a Unicode character.
std::string EncodeUtf8(char32_t codePoint);

}  // namespace vestalo
