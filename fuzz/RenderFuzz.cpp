// Any screen text, drawn by the renderer through the terminal writer, framed or not: the
// terminal must be sent nothing it acts on besides the program's own sequences; unframed,
// every shown byte must arrive as its glyph, in order; framed, no row may pass column 80.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "UTypes/UTypes.h"
#include "console/DisplayTable.h"
#include "console/FrameLayout.h"
#include "console/TerminalWriter.h"
#include "screen/Attribute.h"
#include "support/TerminalOutputCheck.h"

namespace {

using vestalo::checks::Encoding;

// Draws on a terminal writer as the POSIX console does, and keeps the bytes it was given.
class WriterSink : public UTypes::DisplaySink {
 public:
  WriterSink(console::TerminalWriter& writer, uint16_t attr, bool framed)
      : Writer(writer), Attr(attr), Framed(framed) {}
  void ClearScreen() override { Writer.Clear(Attr, Framed); }
  void SetTextForeground(uint16_t colour) override { Attr = screen::WithForeground(Attr, colour); }
  void SetTextBackground(uint16_t colour) override { Attr = screen::WithBackground(Attr, colour); }
  void Write(std::string_view bytes) override {
    Writer.Text(bytes, Attr);
    Shown.append(bytes);
  }
  std::string Shown;

 private:
  console::TerminalWriter& Writer;
  uint16_t Attr;
  bool Framed;
};

// Empty when no row of the frame's text runs past column 80, where the terminal would wrap
// on its own and the layout would no longer be the boot screen's.
std::string FrameFault(std::string_view output, bool utf8) {
  int column = 0;
  for (std::size_t at = 0; at < output.size(); ++at) {
    const auto byte = static_cast<unsigned char>(output[at]);
    if (byte == 0x1B) {
      if (output[++at] != '[') continue;  // ESC 7 or ESC 8
      while (output[++at] >= 0x30 && output[at] <= 0x3F) {
      }
      if (output[at] == 'H' || output[at] == 'r') column = 0;  // both home the cursor
      continue;
    }
    if (byte == '\r') column = 0;
    else if (byte == '\b') column = column > 0 ? column - 1 : 0;
    else if (byte == '\n' || byte == '\a') continue;
    else if (!utf8 || (byte & 0xC0) != 0x80) ++column;
    if (column > console::FrameLayout::Columns) return "text runs past the frame's last column";
  }
  return {};
}

// The output without the program's own sequences (already checked to be well formed).
std::string WithoutSequences(std::string_view output) {
  std::string text;
  for (std::size_t at = 0; at < output.size(); ++at) {
    if (output[at] != 0x1B) {
      text += output[at];
      continue;
    }
    if (output[++at] != '[') continue;  // ESC 7 or ESC 8
    ++at;
    while (output[at] >= 0x30 && output[at] <= 0x3F) ++at;
  }
  return text;
}

[[noreturn]] void Fail(const std::string& what, std::string_view output) {
  std::fprintf(stderr, "%s\noutput (%zu bytes):", what.c_str(), output.size());
  for (std::size_t i = 0; i < output.size() && i < 400; ++i)
    std::fprintf(stderr, " %02x", static_cast<unsigned char>(output[i]));
  std::fprintf(stderr, "\n");
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A UTF-8 terminal, and one with an 8-bit character set that lacks most of the glyphs.
  static const console::DisplayTable Utf8Table = console::BuildDisplayTable("UTF-8");
  static const console::DisplayTable LatinTable = console::BuildDisplayTable("ISO-8859-1");
  if (size < 2) return 0;
  const bool utf8 = (data[0] & 1) == 0;
  const bool framed = (data[0] & 2) != 0;
  const auto startAttr = static_cast<uint16_t>(data[1] | (data[0] & 0xF0) << 8);
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  const console::DisplayTable& table = utf8 ? Utf8Table : LatinTable;

  console::TerminalWriter writer(utf8 ? "UTF-8" : "ISO-8859-1");
  WriterSink sink(writer, startAttr, framed);
  UTypes::RenderDisplayText(text, sink);
  const std::string& output = writer.Pending();

  const std::string fault =
      vestalo::checks::TerminalOutputFault(output, utf8 ? Encoding::Utf8 : Encoding::EightBit);
  if (!fault.empty()) Fail(fault, output);
  if (framed) {
    const std::string frameFault = FrameFault(output, utf8);
    if (!frameFault.empty()) Fail(frameFault, output);
    return 0;
  }
  std::string expected;
  for (char c : sink.Shown) expected += table[static_cast<unsigned char>(c)];
  if (WithoutSequences(output) != expected) Fail("shown bytes lost, added or reordered", output);
  return 0;
}
