#include "console/Attribute.h"

#include <gtest/gtest.h>

#include "console/Sgr.h"

namespace console {
namespace {

struct AttrCase {
  uint16_t Attr;
  bool Foreground;  // which setter
  uint16_t Colour;
  uint16_t Expected;
};

TEST(Attribute, SettersFollowThePcArithmetic) {
  const AttrCase cases[] = {
      {0x17, true, 14, 0x1E},   {0x1E, false, 0, 0x0E},    {0x07, false, 0x40, 0x47},
      {0x07, true, 0x1E, 0x1E},  // the argument is not masked
      {0x06, false, 0x41, 0x47}, {0x8F07, true, 2, 0x02},  // bits above 7 are cleared
      {0x8F07, false, 1, 0x17},  {0x00, false, 15, 0xF0},
  };
  for (const auto& c : cases) {
    const uint16_t result = c.Foreground ? WithForeground(c.Attr, c.Colour) : WithBackground(c.Attr, c.Colour);
    EXPECT_EQ(result, c.Expected) << std::hex << c.Attr << (c.Foreground ? " fg " : " bg ") << c.Colour;
  }
}

TEST(Sgr, PcColoursMapToEcma48Order) {
  // PC: 1 blue, 2 green, 4 red. ECMA-48: 1 red, 2 green, 4 blue.
  const int expected[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  for (int pc = 0; pc < 8; ++pc) {
    EXPECT_EQ(EcmaColour(pc), expected[pc]) << pc;
    EXPECT_EQ(EcmaColour(pc + 8), expected[pc]) << pc + 8;
  }
}

TEST(Sgr, BrightColoursUseTheNinetiesAndHundreds) {
  EXPECT_EQ(SgrFor(0x07), "\x1b[0;37;40m");
  EXPECT_EQ(SgrFor(0x1E), "\x1b[0;93;44m");
  EXPECT_EQ(SgrFor(0x9C), "\x1b[0;91;104m");
  EXPECT_EQ(SgrFor(0xF0), "\x1b[0;30;107m");
  EXPECT_EQ(SgrFor(0x8F07), "\x1b[0;37;40m");
}

}  // namespace
}  // namespace console
