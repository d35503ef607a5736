#include "media/Medium.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "base/ErrorCodes.h"
#include "base/InOutError.h"
#include "media/MemoryMedium.h"
#include "support/InFolder.h"

namespace vestalo {
namespace {

using testing::InFolder;

TEST_F(InFolder, ScreenTextEndsAtZOrFF) {
  // clang-format off
  const struct {
    std::string Bytes, Loaded;
  } cases[] = {{"AB\x1a" "CD", "AB"}, {"\x1a", ""}, {"A\r\nB", "A\r\nB"}, {"Latin-1 \xff" "after", "Latin-1 "},
               {std::string("nul\0kept", 8), std::string("nul\0kept", 8)}};
  // clang-format on
  for (const auto& c : cases) {
    Write("screen.txt", c.Bytes);
    EXPECT_EQ(media::ComputerFiles()->LoadWholeFile("screen.txt"), c.Loaded);
    EXPECT_EQ(media::MemoryMedium({{"screen.txt", c.Bytes}}).LoadWholeFile("screen.txt"), c.Loaded);
  }
}

TEST_F(InFolder, PresenceProbe) {
  for (const char* name : {"boot.msg", "sub/f1.txt", "old.txt", "a[1]x.txt", ".dot.cfg"})
    Write(name, "x");
  std::filesystem::create_directory("isolinux.cfg");
  struct utimbuf epoch {
    0, 0
  };
  utime("old.txt", &epoch);  // reproducible builds date files 1970
  const std::string name259 = std::string(200, 'd') + "/" + std::string(58, 'f');
  const std::string name260 = std::string(201, 'd') + "/" + std::string(58, 'f');
  Write(name259, "x");
  Write(name260, "x");
  // clang-format off
  const struct {
    std::string Name;
    bool Present;
  } cases[] = {{"boot.msg", true}, {"sub/f1.txt", true},  {"isolinux.cfg", false}, {"missing", false},
               {"", false},        {"old.txt", true},     {"boot.*", true},        {"b??t.msg", true},
               {"*.none", false},  {"sub/*.txt", true},   {Folder + "/boot.msg", true},
               {"a[1]*.txt", true},  // "[" is no pattern character
               {"*.cfg", true},      // "*" matches names that start with a dot
               {name259, true},    {name260, false}};
  // clang-format on
  const auto files = media::ComputerFiles();
  for (const auto& c : cases) EXPECT_EQ(files->FileIsPresent(c.Name), c.Present) << c.Name;
}

// One tree as a folder on disk (its name full of pattern characters) and in memory: both
// kinds find its boot folder where the loader looks first, and read the same files by the
// loader's names, without the program's current folder changing.
TEST_F(InFolder, EveryKindReadsTheLoadersNames) {
  const std::map<std::string, std::string> tree = {
      {"boot/isolinux/isolinux.cfg", "display splash.txt"},
      {"boot/isolinux/Splash.TXT", "S"},
      {"boot/isolinux/sub/f1.txt", "F1"},
      {"top.txt", "T"},
      {"isolinux/isolinux.cfg", "other"}};
  const std::string root = "t[1]*?";
  for (const auto& [path, bytes] : tree) Write(root + "/" + path, bytes);
  // clang-format off
  const struct {
    std::string Name, Bytes;  // Bytes empty: not present
  } cases[] = {{"isolinux.cfg", "display splash.txt"}, {"splash.txt", "S"}, {"SUB/F1.txt", "F1"}, {"sub", ""},
               {"/top.txt", "T"}, {"../../top.txt", "T"}, {"../../../../top.txt", "T"}, {"/isolinux/isolinux.cfg", "other"},
               {"missing.txt", ""}, {"", ""}};
  // clang-format on
  const auto before = std::filesystem::current_path();
  const std::unique_ptr<media::Medium> kinds[] = {media::OpenMedium(root),
                                                  std::make_unique<media::MemoryMedium>(tree)};
  for (const auto& files : kinds) {
    EXPECT_EQ(files->StartConfiguration(), "isolinux.cfg");
    EXPECT_EQ(files->PathOnMedium("../x.txt"), "boot/x.txt");
    for (const auto& c : cases) {
      EXPECT_EQ(files->FileIsPresent(c.Name), !c.Bytes.empty()) << c.Name;
      if (!c.Bytes.empty()) {
        EXPECT_EQ(files->LoadWholeFile(c.Name), c.Bytes) << c.Name;
      }
    }
  }
  EXPECT_EQ(std::filesystem::current_path(), before);
  // Patterns match on a folder of this computer (in its boot folder only), as names of it.
  EXPECT_TRUE(kinds[0]->FileIsPresent("*.cfg"));
  EXPECT_FALSE(kinds[0]->FileIsPresent("*.msg"));
  EXPECT_FALSE(kinds[1]->FileIsPresent("*.cfg"));
  // The spelling on the medium, for the reports.
  EXPECT_EQ(kinds[0]->PathForUser("splash.txt"), root + "/boot/isolinux/Splash.TXT");
  EXPECT_EQ(kinds[0]->PathForUser("/top.txt"), root + "/top.txt");
  EXPECT_EQ(kinds[1]->PathForUser("SUB/F1.TXT"), "memory:/boot/isolinux/sub/f1.txt");
}

// Both configurations: an image (and files in memory, which stand for one) boots with
// ISOLINUX, which reads isolinux.cfg; the other is noted.
TEST(Medium, AnImageReadsIsolinuxCfgWhenBothAreThere) {
  using Files = std::map<std::string, std::string>;
  const media::MemoryMedium both(
      Files{{"isolinux/isolinux.cfg", ""}, {"isolinux/syslinux.cfg", ""}});
  EXPECT_EQ(both.StartConfiguration(), "isolinux.cfg");
  EXPECT_EQ(both.OtherConfiguration(), "syslinux.cfg");
  EXPECT_EQ(media::MemoryMedium(Files{{"syslinux.cfg", ""}}).OtherConfiguration(), "");
}

// Errors the runs cannot easily make, by their meaning, not their number (EIO is 5, like
// the access denied of the program's own codes).
TEST(Failure, ErrnoValuesGiveTheirMessages) {
  EXPECT_EQ(IOErrorMessage(CodeForErrno(EMFILE)), "Too many open files");
  EXPECT_EQ(IOErrorMessage(CodeForErrno(EIO)), "I/O error " + std::to_string(EIO));
}

uint32_t LocationOf(void (*raise)()) {
  try {
    raise();
  } catch (const EInOutError& failure) {
    return failure.Location;
  }
  return 0;
}

TEST(Failure, TheLocationTellsRaisePointsApart) {
  const uint32_t first = LocationOf([] { ReportIOFailure(5); });
  const uint32_t second = LocationOf([] { ReportIOFailure(5); });
  EXPECT_NE(first, second);
}

}  // namespace
}  // namespace vestalo
