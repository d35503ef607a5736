#include "config/Configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/LineSplitter.h"
#include "media/MemoryMedium.h"
#include "support/InFolder.h"

namespace vestalo {
namespace {

struct LineCase {
  const char* Line;
  int Index;
  const char* Value;
};

TEST(ConfigurationLine, KeywordsAsTheBootLoaderReadsThem) {
  // clang-format off
  const LineCase cases[] = {
      {"display boot.msg", DisplayIndex, "boot.msg"}, {"   display    boot.msg   ", DisplayIndex, "boot.msg"},
      {"DISPLAY boot.msg", DisplayIndex, "boot.msg"}, {"Display boot.msg", DisplayIndex, "boot.msg"},
      {"F1 f1.txt", 1, "f1.txt"},    {"f1 F1.TXT", 1, "F1.TXT"},      {"F9 nine.txt", 9, "nine.txt"},
      {"F0 ten.txt", 10, "ten.txt"}, {"F10 ten.txt", 10, "ten.txt"},  {"f10\tten.txt", 10, "ten.txt"},
      {"F11 eleven.txt", -1, ""},    {"F12 twelve.txt", -1, ""},      {"display F2.txt", DisplayIndex, "F2.txt"},
      {"# F3 old.txt", -1, ""},      {"display", DisplayIndex, ""},   {"display   ", DisplayIndex, ""},
      {"displayboot.msg", -1, ""},   {"include other.cfg", -1, ""},   {"label F1", -1, ""},  {"", -1, ""},
      {"F1 \x7f" "del\xe9 ", 1, "\x7f" "del\xe9"},
      // The loader reads the file's name as one word (seen: "DISPLAY splash.txt #ff102040"
      // and "F1 help.txt #ff102040" show splash.txt and help.txt).
      {"display my splash.txt", DisplayIndex, "my"}, {"F1 help.txt #ff102040", 1, "help.txt"},
      {"F2\thelp.png\tback.png", 2, "help.png"},
  };
  // clang-format on
  for (const auto& c : cases) {
    const ConfigurationBinding binding = ParseConfigurationLine(c.Line);
    EXPECT_EQ(binding.Index, c.Index) << c.Line;
    if (c.Index >= 0) {
      EXPECT_EQ(binding.Value, c.Value) << c.Line;
    }
  }
}

std::vector<std::string> Lines(std::string_view bytes, size_t pieceSize) {
  std::vector<std::string> lines;
  LineSplitter splitter([&](const std::string& line) { lines.push_back(line); });
  bool more = true;
  for (size_t at = 0; more && at < bytes.size(); at += pieceSize)
    more = splitter.Push(bytes.substr(at, pieceSize));
  splitter.Finish();
  return lines;
}

TEST(LineSplitter, LineBreaksCarriageReturnsAndZ) {
  // clang-format off
  const struct {
    std::string Bytes;
    std::vector<std::string> Lines;
  } cases[] = {{"", {}},        {"a\nb", {"a", "b"}},     {"a\n", {"a"}},          {"a\r\nb\r\n", {"a", "b"}},
               {"a\r", {"a"}},    {"a\n\r", {"a", ""}},     {"\n\n", {"", ""}},      {"F1 help.txt\rx\n", {"F1 help.txtx"}},
               {"one\ntwo\n\x1athree\n", {"one", "two"}},    {"one\ntw\x1ao\n", {"one", "tw"}}};
  // clang-format on
  for (const auto& c : cases)
    for (size_t piece : {1u, 2u, 1000u})
      EXPECT_EQ(Lines(c.Bytes, piece), c.Lines) << c.Bytes << " " << piece;
}

using ScanFile = testing::InFolder;

// The configuration alone on a medium in memory.
ConfigurationReport ScanText(const std::string& text) {
  return ScanConfiguration(media::MemoryMedium({{"isolinux.cfg", text}}), "isolinux.cfg");
}

// The last line wins, only this file counts, a long line is read whole, a last line needs no
// line break and ^Z ends the file.
TEST(Scan, BindsTheLastLineOfEachKeyword) {
  const std::string longName(300000, 'n');
  ConfigurationReport report =
      ScanText("DISPLAY first.msg\r\ninclude more.cfg\r\nF1 one.txt\ndisplay " + longName +
               "\nf2 two.txt\nF10 ten.txt\nF0 zero.txt\nF4 four.txt");
  EXPECT_EQ(report.Display.Name, longName);
  std::array<std::string, HelpFileCount + 1> help;
  for (std::size_t i = 0; i < help.size(); ++i) help[i] = report.Help[i].Name;
  EXPECT_EQ(help, (std::array<std::string, 11>{"", "one.txt", "two.txt", "", "four.txt", "", "", "",
                                               "", "", "zero.txt"}));
  report = ScanText(
      "display boot.msg\n\x1a"
      "F3 never.txt\n");
  EXPECT_EQ(report.Help[3].Name, "");
}

TEST_F(ScanFile, AConfigurationOfExactly64MegabytesIsRead) {
  const std::string name = Write("isolinux.cfg", "display a.txt\n");
  std::filesystem::resize_file(name, media::MaxTextSize);
  EXPECT_EQ(ScanConfiguration(*media::ComputerFiles(), name).Display.Name, "a.txt");
}

}  // namespace
}  // namespace vestalo
