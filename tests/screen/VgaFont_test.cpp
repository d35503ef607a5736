#include "screen/VgaFont.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace screen {
namespace {

// A PSF 1 font of 256 glyphs, written out by hand: its first glyph, every row `bits`,
// shows the characters `shows`; the other glyphs show none.
std::string PsfFont(char bits, const std::u16string& shows) {
  std::string font = {0x36, 0x04, 0x02, 16};  // PSF 1 with a table of characters, 16 rows
  font += std::string(16, bits) + std::string(255 * 16, '\0');
  for (char16_t c : shows) font += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  for (int glyph = 0; glyph < 256; ++glyph) font += "\xff\xff";
  return font;
}

// The first font file that has a character gives its glyph; a later one only fills gaps.
TEST(VgaFont, AnEarlierFontsGlyphsWin) {
  const auto folder = std::filesystem::temp_directory_path() / "vestalo-fonts";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "FullGreek-VGA16.psf.gz", std::ios::binary) << PsfFont('\xf0', u"A");
  std::ofstream(folder / "Uni2-VGA16.psf.gz", std::ios::binary) << PsfFont('\x0f', u"AB");
  const auto font = FindVgaFont(folder.string());
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->Glyphs[0x41][0], 0xF0);
  EXPECT_EQ(font->Glyphs[0x42][0], 0x0F);
  EXPECT_EQ(font->Missing, 254);
}

}  // namespace
}  // namespace screen
