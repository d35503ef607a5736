#include "console/DisplayTable.h"

#include <gtest/gtest.h>

#include "support/PcGlyphs.h"

namespace console {
namespace {

using vestalo::testing::PcGlyphs;
using vestalo::testing::Utf8;

// The five control bytes a terminal may act on go as they are; every other byte as its glyph.
TEST(DisplayTable, Utf8ShowsEveryByteAsOnThePcScreen) {
  const DisplayTable table = BuildDisplayTable("UTF-8");
  for (int byte = 0; byte < 256; ++byte) {
    const bool passes =
        byte == '\r' || byte == '\n' || byte == '\t' || byte == '\b' || byte == '\a';
    EXPECT_EQ(table[byte],
              passes ? std::string(1, static_cast<char>(byte)) : Utf8(PcGlyphs()[byte]))
        << byte;
  }
}

TEST(DisplayTable, OtherCharacterSetsShowWhatTheyCanAndNoControlByte) {
  // clang-format off
  const struct {
    const char* Codeset;
    unsigned char Byte;
    const char* Shown;
  } cases[] = {{"ANSI_X3.4-1968", 'x', "x"}, {"ANSI_X3.4-1968", 0xC9, "?"}, {"ANSI_X3.4-1968", 0x1B, "?"},
               {"ISO-8859-1", 0x82, "\xe9"}, {"ISO-8859-1", 0xC9, "?"}, {"KOI8-R", 0xC4, "?"}, {"utf8", 0xC4, "─"}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(BuildDisplayTable(c.Codeset)[c.Byte], c.Shown) << c.Codeset << " " << int(c.Byte);
  // KOI8-R has box drawing at 0x80-0x9F, where an 8-bit terminal takes C1 controls.
  for (const char* codeset : {"ANSI_X3.4-1968", "ISO-8859-1", "KOI8-R", "no-such-codeset", ""}) {
    const DisplayTable table = BuildDisplayTable(codeset);
    for (int byte = 0; byte < 256; ++byte) {
      if (IsPassThroughControl(static_cast<unsigned char>(byte))) continue;
      EXPECT_FALSE(table[byte].empty()) << codeset << " " << byte;
      for (char c : table[byte]) {
        const auto sent = static_cast<unsigned char>(c);
        EXPECT_FALSE(sent < 0x20 || (sent >= 0x7F && sent < 0xA0)) << codeset << " " << byte;
      }
    }
  }
}

}  // namespace
}  // namespace console
