#include "main/FileAccess.h"

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "main/InOutError.h"

namespace vestalo {
namespace {

// Each test works in a fresh current folder, as the program does.
class InFolder : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vestalo-files-XXXXXX";
    Folder = mkdtemp(pattern);
    Previous = std::filesystem::current_path();
    std::filesystem::current_path(Folder);
  }
  void TearDown() override {
    std::filesystem::current_path(Previous);
    std::filesystem::remove_all(Folder);
  }
  static void Write(const std::string& name, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(name).parent_path().empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(name).parent_path());
    std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  static int FailureCode(const std::string& name) {
    try {
      LoadWholeFile(name);
    } catch (const EInOutError& failure) {
      return failure.Code;
    }
    return 0;
  }
  std::string Folder;
  std::filesystem::path Previous;
};

TEST_F(InFolder, ScreenTextEndsAtZOrFF) {
  const struct {
    std::string Bytes, Loaded;
  } cases[] = {{"AB\x1a" "CD", "AB"}, {"", ""}, {"\x1a", ""}, {"A\r\nB", "A\r\nB"},
               {"Latin-1 \xff" "after", "Latin-1 "}, {std::string("nul\0kept", 8), std::string("nul\0kept", 8)}};
  for (const auto& c : cases) {
    Write("screen.txt", c.Bytes);
    EXPECT_EQ(LoadWholeFile("screen.txt"), c.Loaded);
  }
}

TEST_F(InFolder, LoadsLargeFilesWhole) {
  std::string big(200000, 'x');
  big[150000] = 'y';
  Write("big.txt", big);
  EXPECT_EQ(LoadWholeFile("big.txt"), big);
}

TEST_F(InFolder, FailuresCarryTheirCodes) {
  std::filesystem::create_directory("folder");
  EXPECT_EQ(FailureCode("missing.txt"), ErrorCode::FileNotFound);
  EXPECT_EQ(FailureCode("nofolder/missing.txt"), ErrorCode::PathNotFound);
  EXPECT_EQ(FailureCode("folder"), ErrorCode::AccessDenied);
  EXPECT_EQ(FailureCode("/dev/zero"), ErrorCode::FileTooLarge);
}

TEST_F(InFolder, PresenceProbe) {
  Write("boot.msg", "x");
  Write("sub/f1.txt", "x");
  std::filesystem::create_directory("isolinux.cfg");
  Write("old.txt", "x");
  struct utimbuf epoch {0, 0};
  utime("old.txt", &epoch);  // reproducible builds date files 1970
  const struct {
    std::string Name;
    bool Present;
  } cases[] = {{"boot.msg", true},      {"sub/f1.txt", true},   {"isolinux.cfg", false},
               {"missing", false},      {"", false},            {"old.txt", true},
               {"boot.*", true},        {"b??t.msg", true},     {"*.none", false},
               {"sub/*.txt", true},     {Folder + "/boot.msg", true},
               {std::string(260, 'a'), false}};
  for (const auto& c : cases) EXPECT_EQ(FileIsPresent(c.Name), c.Present) << c.Name;
}

TEST_F(InFolder, NamesAreFoundIgnoringLetterCase) {
  Write("ISOLINUX/F1.TXT", "help");
  EXPECT_TRUE(FileIsPresent("isolinux/f1.txt"));
  EXPECT_EQ(NameOnDisk("isolinux/f1.txt"), "ISOLINUX/F1.TXT");
  EXPECT_EQ(LoadWholeFile("Isolinux/F1.txt"), "help");
  EXPECT_EQ(NameOnDisk("isolinux/f?.txt"), "isolinux/f?.txt");  // a pattern stays as written
}

TEST_F(InFolder, AWildcardNameIsPresentButCannotBeRead) {
  Write("help1.txt", "x");
  EXPECT_TRUE(FileIsPresent("help?.txt"));
  EXPECT_EQ(FailureCode("help?.txt"), ErrorCode::FileNotFound);
}

}  // namespace
}  // namespace vestalo
