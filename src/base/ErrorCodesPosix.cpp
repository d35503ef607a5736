#include <array>
#include <cerrno>

#include "base/ErrorCodes.h"
#include "base/InOutError.h"

namespace vestalo {

namespace {

struct ErrnoCode {
  int Errno;
  int Code;
};

constexpr std::array<ErrnoCode, 11> ErrnoTable{{
    {ENOENT, ErrorCode::FileNotFound},
    {ENOTDIR, ErrorCode::PathNotFound},
    {ENAMETOOLONG, ErrorCode::PathNotFound},
    {EACCES, ErrorCode::AccessDenied},
    {EPERM, ErrorCode::AccessDenied},
    {EISDIR, ErrorCode::AccessDenied},
    {EMFILE, ErrorCode::TooManyOpenFiles},
    {ENFILE, ErrorCode::TooManyOpenFiles},
    {ENOSPC, ErrorCode::DiskFull},
    {EDQUOT, ErrorCode::DiskFull},
    {EFBIG, ErrorCode::FileTooLarge},
}};

}  // namespace

int CodeForSystemError(const std::error_code& error) {
  const std::error_category& category = error.category();
  if (category == std::generic_category() || category == std::system_category())
    return CodeForErrno(error.value());
  return ErrorCode::PlatformBase + error.value();
}

int CodeForErrno(int error) {
  for (const auto& entry : ErrnoTable)
    if (entry.Errno == error) return entry.Code;
  return ErrorCode::PlatformBase + error;
}

}  // namespace vestalo
