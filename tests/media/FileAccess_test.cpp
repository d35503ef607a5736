#include "media/FileAccess.h"

#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "base/ErrorCodes.h"
#include "base/InOutError.h"
#include "support/InFolder.h"

namespace vestalo {
namespace {

using testing::InFolder;

TEST_F(InFolder, ScreenTextEndsAtZOrFF) {
  const struct {
    std::string Bytes, Loaded;
  } cases[] = {{"AB\x1a" "CD", "AB"}, {"\x1a", ""}, {"A\r\nB", "A\r\nB"}, {"Latin-1 \xff" "after", "Latin-1 "},
               {std::string("nul\0kept", 8), std::string("nul\0kept", 8)}};
  for (const auto& c : cases) {
    Write("screen.txt", c.Bytes);
    EXPECT_EQ(LoadWholeFile("screen.txt"), c.Loaded);
  }
}

TEST_F(InFolder, PresenceProbe) {
  for (const char* name : {"boot.msg", "sub/f1.txt", "old.txt", "a[1]x.txt", ".dot.cfg"}) Write(name, "x");
  std::filesystem::create_directory("isolinux.cfg");
  struct utimbuf epoch {0, 0};
  utime("old.txt", &epoch);  // reproducible builds date files 1970
  const std::string name259 = std::string(200, 'd') + "/" + std::string(58, 'f');
  const std::string name260 = std::string(201, 'd') + "/" + std::string(58, 'f');
  Write(name259, "x");
  Write(name260, "x");
  const struct {
    std::string Name;
    bool Present;
  } cases[] = {{"boot.msg", true}, {"sub/f1.txt", true},  {"isolinux.cfg", false}, {"missing", false},
               {"", false},        {"old.txt", true},     {"boot.*", true},        {"b??t.msg", true},
               {"*.none", false},  {"sub/*.txt", true},   {Folder + "/boot.msg", true},
               {"a[1]*.txt", true},  // "[" is no pattern character
               {"*.cfg", true},      // "*" matches names that start with a dot
               {name259, true},    {name260, false}};
  for (const auto& c : cases) EXPECT_EQ(FileIsPresent(c.Name), c.Present) << c.Name;
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
