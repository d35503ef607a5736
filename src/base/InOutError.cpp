#include "base/InOutError.h"

#include <array>
#include <cstdio>
#include <utility>

namespace vestalo {

namespace {

struct CodeMessage {
  int Code;
  const char* Message;
};

constexpr std::array<CodeMessage, 11> Messages{{
    {ErrorCode::FileNotFound, "File not found"},
    {ErrorCode::PathNotFound, "Invalid filename"},
    {ErrorCode::TooManyOpenFiles, "Too many open files"},
    {ErrorCode::AccessDenied, "File access denied"},
    {100, "Read beyond end of file"},
    {ErrorCode::DiskFull, "Disk full"},
    {106, "Invalid numeric input"},
    {ErrorCode::OutOfMemory, "Out of memory"},
    {ErrorCode::FileTooLarge, "File too large"},
    {ErrorCode::ImageDamaged, "Damaged or truncated ISO image"},
    {ErrorCode::NoImageSupport,
     "This build of Vestalo cannot read ISO images (it was built without libarchive)"},
}};

}  // namespace

EInOutError::EInOutError(int code, uint32_t location)
    : Code(code), Message(IOErrorMessage(code)), Location(location) {}

std::string IOErrorMessage(int code) {
  for (const auto& entry : Messages)
    if (entry.Code == code) return entry.Message;
  if (code >= ErrorCode::PlatformBase) code -= ErrorCode::PlatformBase;
  return "I/O error " + std::to_string(code);
}

uint32_t LocationCode(const std::source_location& where) {
  // Upper half: a hash of the source file's name; lower half: the line.
  uint32_t hash = 2166136261u;
  for (const char* p = where.file_name(); *p != '\0'; ++p) {
    hash ^= static_cast<unsigned char>(*p);
    hash *= 16777619u;
  }
  return (hash & 0xFFFF0000u) | (where.line() & 0xFFFFu);
}

void ReportIOFailure(int code, std::source_location where) {
  throw EInOutError(code, LocationCode(where));
}

void ReportIOFailure(int code, const std::string& message, std::source_location where) {
  EInOutError failure(code, LocationCode(where));
  failure.Message = message;
  throw failure;
}

std::string BuildFailureReport(std::string_view moduleName, const EInOutError& failure) {
  char location[9];
  std::snprintf(location, sizeof location, "%08X", static_cast<unsigned>(failure.Location));
  const std::string& message = failure.Message;
  const bool addStop = !message.empty() && message.back() != '.';
  return "Exception EInOutError in module " + std::string(moduleName) + " at " + location +
         ".\r\n" + message + (addStop ? "." : "") + "\r\n";
}

}  // namespace vestalo
