#include "main/InOutError.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "main/ErrnoCodes.h"

namespace vestalo {
namespace {

TEST(IOErrorMessage, TableAndFallback) {
  const struct {
    int Code;
    const char* Message;
  } cases[] = {{2, "File not found"},      {3, "Invalid filename"},     {4, "Too many open files"},
               {5, "File access denied"},  {100, "Read beyond end of file"}, {101, "Disk full"},
               {106, "Invalid numeric input"}, {223, "File too large"}, {32, "I/O error 32"},
               {0, "I/O error 0"}};
  for (const auto& c : cases) EXPECT_EQ(IOErrorMessage(c.Code), c.Message) << c.Code;
}

TEST(CodeForErrno, MapsMeaningsNotNumbers) {
  const struct {
    int Errno;
    std::string Message;
  } cases[] = {{ENOENT, "File not found"},      {ENOTDIR, "Invalid filename"},
               {EACCES, "File access denied"},  {EISDIR, "File access denied"},
               {EMFILE, "Too many open files"}, {ENOSPC, "Disk full"},
               // EIO is 5 on Linux, yet it is no permission problem.
               {EIO, "I/O error " + std::to_string(EIO)},
               {EPIPE, "I/O error " + std::to_string(EPIPE)},
               {ELOOP, "I/O error " + std::to_string(ELOOP)}};
  for (const auto& c : cases) EXPECT_EQ(IOErrorMessage(CodeForErrno(c.Errno)), c.Message) << c.Errno;
}

TEST(FailureReport, FollowsThePattern) {
  const EInOutError failure(ErrorCode::FileNotFound, 0x00ABCDEF);
  EXPECT_EQ(BuildFailureReport("vestalo", failure),
            "Exception EInOutError in module vestalo at 00ABCDEF.\r\nFile not found.\r\n");
}

TEST(FailureReport, LocationTellsRaisePointsApart) {
  uint32_t first = 0, second = 0;
  try {
    ReportIOFailure(5);
  } catch (const EInOutError& failure) {
    first = failure.Location;
    EXPECT_EQ(failure.Code, 5);
  }
  try {
    ReportIOFailure(5);
  } catch (const EInOutError& failure) {
    second = failure.Location;
  }
  EXPECT_NE(first, second);
  EXPECT_EQ(first >> 16, second >> 16);  // same source file
}

}  // namespace
}  // namespace vestalo
