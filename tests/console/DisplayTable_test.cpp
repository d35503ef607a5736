#include "console/DisplayTable.h"

#include <gtest/gtest.h>

namespace console {
namespace {

bool HasControl(const std::string& bytes, bool allowHighBytes) {
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || (!allowHighBytes && b >= 0x80 && b < 0xA0)) return true;
  }
  return false;
}

TEST(DisplayTable, Utf8ShowsCodePage437Glyphs) {
  const DisplayTable table = BuildDisplayTable("UTF-8");
  const struct {
    unsigned char Byte;
    const char* Shown;
  } cases[] = {{'A', "A"},         {0x1B, "←"},  {0x01, "☺"}, {0x00, " "},  {0x7F, "⌂"},
               {0x80, "Ç"},        {0x9B, "¢"},  {0xC9, "╔"}, {0xCD, "═"},  {0xDB, "█"},
               {0xFF, "\u00a0"},  {'\r', "\r"}, {'\n', "\n"}, {'\t', "\t"}, {'\b', "\b"}, {0x07, "\x07"}};
  for (const auto& c : cases) EXPECT_EQ(table[c.Byte], c.Shown) << int(c.Byte);
}

TEST(DisplayTable, NoByteBecomesAControlSequence) {
  for (const char* codeset : {"UTF-8", "utf8", "ANSI_X3.4-1968", "ISO-8859-1", "KOI8-R", "no-such-codeset", ""}) {
    const DisplayTable table = BuildDisplayTable(codeset);
    for (int b = 0; b < 256; ++b) {
      if (IsPassThroughControl(static_cast<unsigned char>(b))) continue;
      EXPECT_FALSE(table[b].empty()) << codeset << " " << b;
      EXPECT_FALSE(HasControl(table[b], std::string_view(codeset).find("tf") != std::string_view::npos ||
                                            std::string_view(codeset).find("TF") != std::string_view::npos))
          << codeset << " " << b;
    }
  }
}

TEST(DisplayTable, OtherCharacterSetsShowWhatTheyCanAndQuestionMarksForTheRest) {
  const DisplayTable ascii = BuildDisplayTable("ANSI_X3.4-1968");
  EXPECT_EQ(ascii['x'], "x");
  EXPECT_EQ(ascii[0xC9], "?");
  EXPECT_EQ(ascii[0x1B], "?");
  const DisplayTable latin1 = BuildDisplayTable("ISO-8859-1");
  EXPECT_EQ(latin1[0x82], "\xe9");  // é
  EXPECT_EQ(latin1[0xC9], "?");
}

}  // namespace
}  // namespace console
