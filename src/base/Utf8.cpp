#include "base/Utf8.h"

namespace vestalo {

namespace {

// The bytes a character takes by its lead byte, and the range its second byte must lie in
// (which rules out overlong forms, surrogates and code points above U+10FFFF).
struct LeadByte {
  std::size_t Length;
  unsigned char SecondLow, SecondHigh;
};

LeadByte LeadOf(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

Utf8Char DecodeUtf8(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return {Utf8Char::Character, lead, 1};
  const LeadByte form = LeadOf(lead);
  if (form.Length == 0) return {Utf8Char::Invalid, 0, 1};
  char32_t codePoint = lead & (0x7F >> form.Length);
  for (std::size_t i = 1; i < form.Length; ++i) {
    if (i >= bytes.size()) return {Utf8Char::Incomplete, 0, 0};
    const auto next = static_cast<unsigned char>(bytes[i]);
    const bool fits =
        i == 1 ? next >= form.SecondLow && next <= form.SecondHigh : (next & 0xC0) == 0x80;
    if (!fits) return {Utf8Char::Invalid, 0, 1};
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  return {Utf8Char::Character, codePoint, form.Length};
}

std::string EncodeUtf8(char32_t codePoint) {
  std::string out;
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return out;
}

}  // namespace vestalo
