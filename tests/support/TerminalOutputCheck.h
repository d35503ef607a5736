// What the program may send a terminal: its own escape sequences, the five control bytes a
// screen file may pass on (CR, LF, TAB, BS, BEL), and printable characters. Shared by the
// fuzz targets and the terminal tests, which check the bytes that really went out.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Colours: "0" (back to the terminal's own) or "0;FG;BG" with the sixteen PC colours; or, with
// xterm's 256 ("38;5;N") or 24-bit colours ("38;2;R;G;B"), the foreground (38), the
// background (48) or both in that order, after a "0;" or (a change of layers only) without.
inline bool ColourSequence(std::string_view params) {
  std::vector<int> v;
  for (std::size_t end; !params.empty(); params.remove_prefix(std::min(end + 1, params.size()))) {
    end = std::min(params.find(';'), params.size());
    v.push_back(Number(params.substr(0, end)));
    if (v.back() < 0) return false;
  }
  if (v.size() == 1) return v[0] == 0;
  if (v.size() == 3 && v[0] == 0)
    return (InRange(v[1], 30, 37) || InRange(v[1], 90, 97)) &&
           (InRange(v[2], 40, 47) || InRange(v[2], 100, 107));
  std::size_t at = !v.empty() && v[0] == 0 ? 1 : 0;
  int layers = 0;
  for (int layer : {38, 48}) {
    if (at >= v.size() || v[at] != layer) continue;
    const std::size_t size = at + 1 < v.size() && v[at + 1] == 2 ? 5 : 3;
    if (at + size > v.size() || (v[at + 1] != 2 && v[at + 1] != 5)) return false;
    for (std::size_t i = at + 2; i < at + size; ++i)
      if (!InRange(v[i], 0, 255)) return false;
    at += size, ++layers;
  }
  return layers > 0 && at == v.size();
}

// Cursor to the top left, or to a row and column of the screen.
inline bool CursorPosition(std::string_view params) {
  if (params.empty()) return true;
  int v[2];
  return Numbers(params, v, 2) && InRange(v[0], 1, 999) && InRange(v[1], 1, 999);
}

// The whole screen, or (a sixel picture's rows) from its start to the cursor.
inline bool EraseDisplay(std::string_view params) { return params == "2" || params == "1"; }

// The question about the size of a cell in pixels.
inline bool WindowReport(std::string_view params) { return params == "16"; }

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
    {'t', WindowReport},
};

inline bool IsBase64(std::string_view text) {
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '/' && c != '=')
      return false;
  return true;
}

// True when `text` starts with `prefix` and the number after it is followed by `end`;
// `text` is then what follows.
inline bool NumberAfter(std::string_view& text, std::string_view prefix, char end) {
  if (!text.starts_with(prefix)) return false;
  std::size_t at = prefix.size();
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  if (at == prefix.size() || at >= text.size() || text[at] != end) return false;
  text.remove_prefix(at + 1);
  return true;
}

// The kitty graphics commands: the queries, a picture's first piece and the ones after it, a
// picture in shared memory, its deletion.
inline bool KittyGraphics(std::string_view body) {
  if (body == "Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA") return true;
  if (body.starts_with("Gi=32,s=1,v=1,a=q,t=s,f=24;")) return IsBase64(body.substr(27));
  if (body.starts_with("Ga=T,f=24,t=s,")) {
    body.remove_prefix(14);
    if (!NumberAfter(body, "s=", ',') || !NumberAfter(body, "v=", ',') ||
        !NumberAfter(body, "i=", ',') || !body.starts_with("q=2,C=1,"))
      return false;
    body.remove_prefix(8);
    return NumberAfter(body, "c=", ',') && NumberAfter(body, "r=", ';') && IsBase64(body);
  }
  if (body.starts_with("Ga=d,d=I,")) {
    body.remove_prefix(9);
    return NumberAfter(body, "i=", ',') && body == "q=2";
  }
  if (body.starts_with("Ga=T,f=100,")) {
    body.remove_prefix(11);
    if (!NumberAfter(body, "i=", ',') || !body.starts_with("q=2,C=1,")) return false;
    body.remove_prefix(8);
    if (!NumberAfter(body, "c=", ',') || !NumberAfter(body, "r=", ',')) return false;
  } else if (body.starts_with("G")) {
    body.remove_prefix(1);
  } else {
    return false;
  }
  return (body.starts_with("m=0;") || body.starts_with("m=1;")) && IsBase64(body.substr(4));
}

// A device control string: the DECRQSS question about colours, or a sixel picture (raster
// attributes, colour registers in percent, sixel data).
inline bool DeviceString(std::string_view body) {
  if (body == "$qm") return true;
  if (!body.starts_with("q\"1;1;")) return false;
  for (char c : body.substr(6))
    if (!(c >= 0x3F && c <= 0x7E) && !(c >= '0' && c <= '9') && c != ';' && c != '#' && c != '!' &&
        c != '$' && c != '-')
      return false;
  return true;
}

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

// The bytes that base64 text stands for (RFC 4648), up to its padding or the first byte that
// is none of its digits.
inline std::string FromBase64(std::string_view text) {
  static constexpr std::string_view Digits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned group = 0;
  int bits = 0;
  for (char c : text) {
    const std::size_t at = Digits.find(c);
    if (at == std::string_view::npos) break;
    group = (group << 6 | static_cast<unsigned>(at)) & 0xFFFFFF, bits += 6;
    if (bits >= 8) bytes += static_cast<char>(group >> (bits -= 8) & 0xFF);
  }
  return bytes;
}

// A kitty picture in shared memory named in the bytes sent: the keys of its command, and the
// name of its object.
struct SharedPicture {
  std::string Keys, Name;
};
inline std::vector<SharedPicture> SharedPictures(std::string_view out) {
  std::vector<SharedPicture> pictures;
  for (std::size_t at = out.find("\x1b_G"); at != std::string_view::npos;
       at = out.find("\x1b_G", at + 1)) {
    const std::size_t end = out.find("\x1b\\", at);
    if (end == std::string_view::npos) break;
    const std::string_view body = out.substr(at + 3, end - at - 3);
    const std::size_t semicolon = body.find(';');
    if (semicolon == std::string_view::npos || body.substr(0, semicolon).find("t=s") == body.npos)
      continue;
    pictures.push_back(
        {std::string(body.substr(0, semicolon)), FromBase64(body.substr(semicolon + 1))});
  }
  return pictures;
}

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
      if (at + 1 < output.size() && (output[at + 1] == '_' || output[at + 1] == 'P')) {
        const std::size_t end = output.find("\x1b\\", at + 2);
        if (end == std::string_view::npos) return "unfinished string" + where;
        const std::string_view body = output.substr(at + 2, end - at - 2);
        if (!(output[at + 1] == '_' ? detail::KittyGraphics(body) : detail::DeviceString(body)))
          return "string the program never sends" + where;
        at = end + 2;
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
