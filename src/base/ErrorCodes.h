// How a POSIX error number becomes one of the program's error codes.
#pragma once

namespace vestalo {

// The program's code for an errno value: the table's code where the meaning matches,
// otherwise ErrorCode::PlatformBase plus the number.
int CodeForErrno(int error);

}  // namespace vestalo
