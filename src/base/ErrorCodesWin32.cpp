#include <windows.h>

#include <array>

#include "base/ErrorCodes.h"
#include "base/InOutError.h"

namespace vestalo {

namespace {

struct WindowsCode {
  DWORD Windows;
  int Code;
};

// The table's codes are the Windows file calls' own numbers where they mean the same; the
// rest of the table (100, 101, 106 and the program's own) means other things on Windows.
constexpr std::array<WindowsCode, 6> WindowsTable{{
    {ERROR_FILE_NOT_FOUND, ErrorCode::FileNotFound},
    {ERROR_PATH_NOT_FOUND, ErrorCode::PathNotFound},
    {ERROR_TOO_MANY_OPEN_FILES, ErrorCode::TooManyOpenFiles},
    {ERROR_ACCESS_DENIED, ErrorCode::AccessDenied},
    {ERROR_DISK_FULL, ErrorCode::DiskFull},
    {ERROR_HANDLE_DISK_FULL, ErrorCode::DiskFull},
}};

}  // namespace

int CodeForSystemError(const std::error_code& error) {
  if (error.category() == std::system_category())
    return CodeForWindowsError(static_cast<unsigned long>(error.value()));
  return ErrorCode::PlatformBase + error.value();
}

int CodeForWindowsError(unsigned long error) {
  for (const auto& entry : WindowsTable)
    if (entry.Windows == error) return entry.Code;
  return ErrorCode::PlatformBase + static_cast<int>(error);
}

}  // namespace vestalo
