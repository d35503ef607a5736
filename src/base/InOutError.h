// The one failure of the program: a file operation that did not succeed. It travels up to
// the outermost level of the run, which reports it and ends with exit code 1.
#pragma once

#include <cstdint>
#include <exception>
#include <source_location>
#include <string>
#include <string_view>

namespace vestalo {

// Error codes the program uses on every platform (the Windows file calls' own numbers).
namespace ErrorCode {
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int FileTooLarge = 223;
// An ISO image that cannot be read as one, and a build that reads no images at all.
constexpr int ImageDamaged = 224;
constexpr int NoImageSupport = 225;
constexpr int DiskFull = 101;
// The program could not get the memory it needed.
constexpr int OutOfMemory = 203;
// A fault of the program itself, told with what the library said.
constexpr int Internal = 226;
// A platform error that has no place in the table is carried as this base plus its own
// number, so that it can never pass for one of the table's codes.
constexpr int PlatformBase = 1 << 16;
}  // namespace ErrorCode

class EInOutError : public std::exception {
 public:
  EInOutError(int code, uint32_t location);
  const char* what() const noexcept override { return Message.c_str(); }

  int Code;
  std::string Message;
  uint32_t Location;  // where the failure was raised, as shown in the report
};

// Keyboard input has ended for good (a closed pipe, a terminal gone): no key will ever come
// again, so the run ends normally, through the program's one way out.
class EInputEnded : public std::exception {
 public:
  const char* what() const noexcept override { return "keyboard input ended"; }
};

// The message for an error code: the table's text, or "I/O error N".
std::string IOErrorMessage(int code);

// Raises the failure for `code`; never returns.
[[noreturn]] void ReportIOFailure(int code,
                                  std::source_location where = std::source_location::current());

// Raises the failure for `code` with a message that says more than the table's (the cause
// a library gave); never returns.
[[noreturn]] void ReportIOFailure(int code, const std::string& message,
                                  std::source_location where = std::source_location::current());

// A number that tells where in the source a failure was raised.
uint32_t LocationCode(const std::source_location& where);

// The report text for a failure raised in the program file `moduleName`.
std::string BuildFailureReport(std::string_view moduleName, const EInOutError& failure);

}  // namespace vestalo
