// What the program may send a terminal: its own escape sequences, the five control bytes a
// screen file may pass on (CR, LF, TAB, BS, BEL), and printable characters. Shared by the
// fuzz targets and the terminal tests, which check the bytes that really went out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vestalo::checks {

namespace detail {

// The number in `text` when it is all digits (at most four), else -1.
inline int Number(std::string_view text) {
  if (text.empty() || text.size() > 4) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

inline bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// The parameters split at ';' into at most `count` numbers; false when they are not that.
inline bool Numbers(std::string_view params, int* values, int count) {
  for (int i = 0; i < count; ++i) {
    const std::size_t end = i + 1 < count ? params.find(';') : params.size();
    if (end == std::string_view::npos) return false;
    values[i] = Number(params.substr(0, end));
    if (values[i] < 0) return false;
    params.remove_prefix(end == params.size() ? end : end + 1);
  }
  return true;
}

// Colours: "0" (back to the terminal's own) or "0;FG;BG" with the sixteen PC colours.
inline bool ColourSequence(std::string_view params) {
  if (params == "0") return true;
  int v[3];
  return Numbers(params, v, 3) && v[0] == 0 && (InRange(v[1], 30, 37) || InRange(v[1], 90, 97)) &&
         (InRange(v[2], 40, 47) || InRange(v[2], 100, 107));
}

// Cursor to the top left, or to a row and column of the screen.
inline bool CursorPosition(std::string_view params) {
  if (params.empty()) return true;
  int v[2];
  return Numbers(params, v, 2) && InRange(v[0], 1, 999) && InRange(v[1], 1, 999);
}

inline bool EraseDisplay(std::string_view params) { return params == "2"; }

// The cursor hidden while cells are drawn, and shown again.
inline bool CursorVisibility(std::string_view params) { return params == "?25"; }

// Blanks the frame's width of a row.
inline bool EraseCharacters(std::string_view params) { return params == "80"; }

// The scrolling region of the 80x25 frame, or none (the whole screen).
inline bool ScrollRegion(std::string_view params) {
  if (params.empty()) return true;
  int v[2];
  return Numbers(params, v, 2) && InRange(v[0], 1, 999) && InRange(v[1], v[0], 999);
}

// The kitty keyboard protocol: the query, and the push and pop of its flags.
inline bool KittyKeyboard(std::string_view params) {
  return params == "?" || params == ">15" || params == "<";
}

// The device attributes query that tells whether the kitty query was answered.
inline bool DeviceAttributes(std::string_view params) { return params.empty(); }

struct KnownSequence {
  char Final;
  bool (*Accepts)(std::string_view params);
};

// Every control sequence (CSI params final) the program itself sends.
constexpr KnownSequence KnownSequences[] = {
    {'m', ColourSequence},  {'H', CursorPosition},   {'J', EraseDisplay},
    {'r', ScrollRegion},    {'u', KittyKeyboard},    {'c', DeviceAttributes},
    {'X', EraseCharacters}, {'l', CursorVisibility}, {'h', CursorVisibility},
};

// The only escapes that start no CSI: save and restore the cursor around the region's release.
constexpr char KnownEscapes[] = {'7', '8'};

// Length of the valid UTF-8 character at the start of `text`, or 0 when there is none.
inline std::size_t Utf8Length(std::string_view text, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0x80   ? 1
                       : lead < 0xC2 ? 0
                       : lead < 0xE0 ? 2
                       : lead < 0xF0 ? 3
                       : lead < 0xF5 ? 4
                                     : 0;
  if (length == 0 || length > text.size()) return 0;
  codePoint = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (codePoint < Smallest[length] || codePoint > 0x10FFFF) return 0;  // overlong or too large
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;            // surrogates
  return length;
}

inline bool AllowedControl(char32_t c) {
  return c == '\r' || c == '\n' || c == '\t' || c == '\b' || c == '\a';
}

// True for a character a terminal acts on rather than shows: C0, DEL and C1.
inline bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

}  // namespace detail

// How the bytes between the program's own sequences are encoded.
enum class Encoding { Utf8, EightBit };

// Empty when `output` holds only what the program may send; else what is wrong, and where.
inline std::string TerminalOutputFault(std::string_view output,
                                       Encoding encoding = Encoding::Utf8) {
  std::size_t at = 0;
  while (at < output.size()) {
    const auto byte = static_cast<unsigned char>(output[at]);
    const std::string where = " at byte " + std::to_string(at);
    if (byte == 0x1B) {
      if (at + 1 < output.size() && (output[at + 1] == detail::KnownEscapes[0] ||
                                     output[at + 1] == detail::KnownEscapes[1])) {
        at += 2;
        continue;
      }
      if (at + 1 >= output.size() || output[at + 1] != '[')
        return "escape that starts no CSI" + where;
      std::size_t end = at + 2;
      while (end < output.size() && output[end] >= 0x30 && output[end] <= 0x3F) ++end;
      if (end >= output.size() || output[end] < 0x40 || output[end] > 0x7E)
        return "unfinished or foreign control sequence" + where;
      const std::string_view params = output.substr(at + 2, end - at - 2);
      bool known = false;
      for (const auto& sequence : detail::KnownSequences)
        known = known || (sequence.Final == output[end] && sequence.Accepts(params));
      if (!known)
        return "control sequence the program never sends: CSI " + std::string(params) +
               output[end] + where;
      at = end + 1;
      continue;
    }
    char32_t c = byte;
    std::size_t length = 1;
    if (encoding == Encoding::Utf8) {
      length = detail::Utf8Length(output.substr(at), c);
      if (length == 0) return "invalid UTF-8" + where;
    }
    if (detail::IsControl(c) && !detail::AllowedControl(c))
      return "control character " + std::to_string(c) + where;
    at += length;
  }
  return {};
}

}  // namespace vestalo::checks
