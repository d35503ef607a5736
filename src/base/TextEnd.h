// Where a text read from a file ends: every text file at its first ^Z, as the boot loader and
// the PC's own text files have it; a screen file also at its first 0xFF, where the boot
// loader stops drawing it.
#pragma once

#include <cstddef>
#include <string_view>

namespace vestalo {

constexpr char EndOfFileChar = 0x1A;

// The length of the text before its end mark: the first ^Z, or the whole text.
inline std::size_t TextFileEnd(std::string_view text) {
  const std::size_t end = text.find(EndOfFileChar);
  return end == std::string_view::npos ? text.size() : end;
}

// The length of a screen text before its end mark: the first ^Z or 0xFF, or the whole text.
inline std::size_t ScreenTextEnd(std::string_view text) {
  // A plain loop: find_first_of looks each byte up in the set with a call of its own.
  std::size_t end = 0;
  while (end < text.size() && text[end] != EndOfFileChar && text[end] != '\xff') ++end;
  return end;
}

}  // namespace vestalo
