// The program body's Windows file calls, run under Windows (or Wine): the codes and the
// probe as the Windows file system answers them.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "main/FileAccess.h"
#include "main/InOutError.h"
#include "main/OemCodePage.h"
#include "main/Platform.h"

namespace vestalo {
namespace {

// Each test works in a fresh current folder, as the program does.
class WindowsFolder : public testing::Test {
 protected:
  void SetUp() override {
    Previous = std::filesystem::current_path();
    Folder = std::filesystem::temp_directory_path() /
             ("vestalo-win32-" + std::to_string(GetCurrentProcessId()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Folder);
    std::filesystem::current_path(Folder);
  }
  void TearDown() override {
    std::filesystem::current_path(Previous);
    std::filesystem::remove_all(Folder);
  }
  static void Write(const std::string& name, std::string_view bytes) {
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
  std::filesystem::path Folder, Previous;
};

TEST_F(WindowsFolder, FailedOpensCarryTheWindowsCodes) {
  std::filesystem::create_directory("folder");
  const struct {
    const char* Name;
    int Code;
    const char* Message;
  } cases[] = {{"missing.txt", ERROR_FILE_NOT_FOUND, "File not found"},
               {"nofolder\\missing.txt", ERROR_PATH_NOT_FOUND, "Invalid filename"},
               {"folder", ERROR_ACCESS_DENIED, "File access denied"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FailureCode(c.Name), c.Code) << c.Name;
    EXPECT_EQ(IOErrorMessage(FailureCode(c.Name)), c.Message) << c.Name;
  }
}

TEST_F(WindowsFolder, AFileHeldOpenForWritingCannotBeRead) {
  Write("busy.txt", "x");
  const HANDLE writer = CreateFileA("busy.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FailureCode("busy.txt"), ERROR_SHARING_VIOLATION);
  CloseHandle(writer);
  EXPECT_EQ(LoadWholeFile("busy.txt"), "x");
}

TEST_F(WindowsFolder, ReadsUpToTheEndOfTheText) {
  std::string big(200000, 'x');
  big[150000] = 'y';
  Write("big.txt", big);
  EXPECT_EQ(LoadWholeFile("big.txt"), big);
  Write("ended.txt", "AB\x1a" "CD");
  EXPECT_EQ(LoadWholeFile("ended.txt"), "AB");
  // Another reader does not stand in the way.
  std::ifstream reader("big.txt", std::ios::binary);
  EXPECT_EQ(LoadWholeFile("big.txt").size(), big.size());
}

TEST_F(WindowsFolder, PresenceProbe) {
  Write("boot.msg", "x");
  std::filesystem::create_directory("sub");
  Write("sub\\f1.txt", "x");
  std::filesystem::create_directory("isolinux.cfg");
  Write("old.txt", "x");
  // Dated 1 January 1975: files of any date are shown.
  const HANDLE old = CreateFileA("old.txt", FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(old, INVALID_HANDLE_VALUE);
  const ULONGLONG from1601 = 116444736000000000ULL + 157766400ULL * 10000000ULL;
  FILETIME stamp{static_cast<DWORD>(from1601), static_cast<DWORD>(from1601 >> 32)};
  EXPECT_TRUE(SetFileTime(old, nullptr, nullptr, &stamp));
  CloseHandle(old);
  const std::string full = Folder.string() + "\\boot.msg";
  const struct {
    std::string Name;
    bool Present;
  } cases[] = {{"boot.msg", true},     {"BOOT.MSG", true},    {"sub\\f1.txt", true},  {"sub/F1.txt", true},
               {"isolinux.cfg", false}, {"sub", false},        {"missing", false},     {"", false},
               {"old.txt", true},       {"b??t.*", true},      {"*.none", false},      {full, true},
               {std::string(260, 'a'), false}};
  for (const auto& c : cases) EXPECT_EQ(FileIsPresent(c.Name), c.Present) << c.Name;
}

TEST_F(WindowsFolder, AWildcardNameIsPresentButCannotBeOpened) {
  Write("help1.txt", "x");
  EXPECT_TRUE(FileIsPresent("help?.txt"));
  EXPECT_NE(FailureCode("help?.txt"), 0);
}

TEST(WindowsPaths, JoinsTheCurrentFolderWithOneBackslash) {
  char current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
  ASSERT_GT(length, 0u);
  const std::string folder(current, length);
  const std::string joined = platform::JoinToCurrentDirectory("boot.msg");
  EXPECT_EQ(joined.substr(0, folder.size()), folder);
  EXPECT_EQ(joined.substr(joined.size() - 9), "\\boot.msg");
  EXPECT_EQ(joined.find("\\\\"), std::string::npos);
  for (const char* absolute : {"C:\\boot.msg", "\\boot.msg", "/boot.msg", "Z:boot.msg"})
    EXPECT_TRUE(platform::IsAbsolute(absolute)) << absolute;
  for (const char* relative : {"boot.msg", "sub\\boot.msg", "", "a"})
    EXPECT_FALSE(platform::IsAbsolute(relative)) << relative;
}

TEST(WindowsProcess, TheReportNamesTheProgramFileWithoutItsFolder) {
  EXPECT_EQ(platform::ExecutableName(0, nullptr), "vestalo_tests.exe");
}

TEST(WindowsProcess, TheReportIsWrittenInTheOemCodePage) {
  EXPECT_EQ(platform::ToOemCodePage("File not found."), "File not found.");
  if (GetACP() != 1252 || GetOEMCP() != 437) GTEST_SKIP() << "needs ANSI 1252 and OEM 437";
  // "e" with acute accent and the pound sign, from Windows-1252 to code page 437.
  EXPECT_EQ(platform::ToOemCodePage("caf\xe9 \xa3"), "caf\x82 \x9c");
}

}  // namespace
}  // namespace vestalo
