#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace vestalo {
namespace {

// Well-formed characters and the forms a strict reader refuses (RFC 3629, written out by hand).
TEST(Utf8, DecodesWellFormedCharactersOnly) {
  // clang-format off
  const struct {
    std::string Bytes;
    Utf8Char::Kind Result;
    char32_t CodePoint;
    std::size_t Length;
  } cases[] = {
      {"A", Utf8Char::Character, U'A', 1},           {"\xc3\xa9x", Utf8Char::Character, U'\u00e9', 2},
      {"\xe2\x82\xac", Utf8Char::Character, U'\u20ac', 3}, {"\xf0\x9f\x98\x80", Utf8Char::Character, U'\U0001F600', 4},
      {"\xf4\x8f\xbf\xbf", Utf8Char::Character, U'\U0010FFFF', 4},
      {"\xc0\x80", Utf8Char::Invalid, 0, 1},          // overlong NUL
      {"\xe0\x80\x80", Utf8Char::Invalid, 0, 1},      // overlong
      {"\xed\xa0\x80", Utf8Char::Invalid, 0, 1},      // a surrogate
      {"\xf4\x90\x80\x80", Utf8Char::Invalid, 0, 1},  // above U+10FFFF
      {"\xf5\x80", Utf8Char::Invalid, 0, 1},          {"\x80", Utf8Char::Invalid, 0, 1},
      {"\xc3" "A", Utf8Char::Invalid, 0, 1},          {"\xe2\x82", Utf8Char::Incomplete, 0, 0},
      {"\xf0\x9f", Utf8Char::Incomplete, 0, 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    const Utf8Char decoded = DecodeUtf8(c.Bytes);
    EXPECT_EQ(decoded.Result, c.Result) << c.Bytes;
    EXPECT_EQ(decoded.Length, c.Length) << c.Bytes;
    if (c.Result == Utf8Char::Character) {
      EXPECT_EQ(decoded.CodePoint, c.CodePoint) << c.Bytes;
      EXPECT_EQ(EncodeUtf8(c.CodePoint), c.Bytes.substr(0, c.Length)) << c.Bytes;
    }
  }
}

}  // namespace
}  // namespace vestalo
