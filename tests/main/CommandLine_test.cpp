#include "main/CommandLine.h"

#include <gtest/gtest.h>

namespace vestalo {
namespace {

struct SplitCase {
  const char* Line;
  std::vector<std::string> Expected;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << testing::PrintToString(std::string(c.Line)); }

class CommandLineSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, GivesTheArguments) {
  EXPECT_EQ(SplitCommandLine(GetParam().Line), GetParam().Expected) << GetParam().Line;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLineSplit,
    testing::Values(SplitCase{"vestalo", {}}, SplitCase{"vestalo   ", {}},
                    SplitCase{"vestalo a.txt -help", {"a.txt", "-help"}},
                    SplitCase{"\"C:\\Program Files\\vestalo.exe\" boot.msg", {"boot.msg"}},
                    SplitCase{"vestalo ab\"c d\"e", {"abc de"}},
                    SplitCase{"vestalo \"\" a", {"a"}}, SplitCase{"vestalo \"\"", {}},
                    SplitCase{"vestalo \"\"\"\"  x", {"x"}},
                    SplitCase{"vestalo \"my splash.txt", {"my splash.txt"}},
                    SplitCase{"vestalo a\\\"b c\"", {"a\\b c"}},
                    SplitCase{"vestalo\ta\x01" "b", {"a", "b"}},
                    SplitCase{"vestalo \"", {}}));

TEST(CommandLineSplit, NeverTakesTheSecondByteOfADoubleByteCharacterForAQuote) {
  // 0x81 starts a two-byte character in this test's code page, so 0x81 '"' is one character.
  CharStepper step = [](std::string_view text, std::size_t at) -> std::size_t {
    return static_cast<unsigned char>(text[at]) == 0x81 ? 2 : 1;
  };
  EXPECT_EQ(SplitCommandLine("vestalo a\x81\" b", step), (std::vector<std::string>{"a\x81\"", "b"}));
  EXPECT_EQ(SplitCommandLine("vestalo a\x81 b", step), (std::vector<std::string>{"a\x81 b"}));
}

}  // namespace
}  // namespace vestalo
