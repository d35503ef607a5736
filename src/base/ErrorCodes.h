// How the operating system's error numbers become the program's error codes: the table's
// code where the meaning matches, otherwise ErrorCode::PlatformBase plus the number, so that
// no platform number is ever read as one of the table's codes.
#pragma once

#include <system_error>

namespace vestalo {

// The program's code for a POSIX errno value.
int CodeForErrno(int error);

// The program's code for a Windows error (GetLastError).
int CodeForWindowsError(unsigned long error);

// The program's code for an error the standard library reports (std::system_error).
int CodeForSystemError(const std::error_code& error);

}  // namespace vestalo
