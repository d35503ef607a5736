#include "console/DisplayTable.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/Utf8.h"
#include "screen/Cp437.h"

namespace console {

namespace {

bool IsUtf8Name(std::string_view codeset) {
  std::string folded;
  for (char c : codeset)
    if (c != '-' && c != '_')
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded == "utf8";
}

// A terminal in an 8-bit character set may take 0x80-0x9F as C1 controls, so only
// printable bytes are accepted from a conversion.
bool SafeForTerminal(const std::string& bytes) {
  return !bytes.empty() && std::none_of(bytes.begin(), bytes.end(), [](char c) {
    auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0);
  });
}

// Converts one character from UTF-8 to the terminal's character set; empty when it has none.
std::string Convert(iconv_t converter, const std::string& utf8) {
  char in[8];
  char out[16];
  std::memcpy(in, utf8.data(), utf8.size());
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = utf8.size();
  size_t outLeft = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
      inLeft != 0)
    return {};
  return std::string(out, static_cast<size_t>(outPtr - out));
}

}  // namespace

bool IsPassThroughControl(unsigned char byte) {
  return byte == '\r' || byte == '\n' || byte == '\t' || byte == '\b' || byte == '\a';
}

DisplayTable BuildDisplayTable(std::string_view codeset, bool glyphsOnly) {
  DisplayTable table;
  const bool utf8 = IsUtf8Name(codeset);
  iconv_t converter = reinterpret_cast<iconv_t>(-1);
  if (!utf8 && !codeset.empty()) converter = iconv_open(std::string(codeset).c_str(), "UTF-8");
  for (int byte = 0; byte < 256; ++byte) {
    auto b = static_cast<unsigned char>(byte);
    std::string& cell = table[b];
    if ((IsPassThroughControl(b) && !glyphsOnly) || (b >= 0x20 && b < 0x7F)) {
      cell.assign(1, static_cast<char>(b));
    } else if (utf8) {
      cell = vestalo::EncodeUtf8(screen::Cp437CodePoint(b));
    } else {
      if (converter != reinterpret_cast<iconv_t>(-1))
        cell = Convert(converter, vestalo::EncodeUtf8(screen::Cp437CodePoint(b)));
      if (!SafeForTerminal(cell)) cell.assign(1, '?');
    }
  }
  if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
  return table;
}

}  // namespace console
