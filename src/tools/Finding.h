// One thing that goes wrong on the boot screen, told as compilers tell theirs, so that
// editors and CI logs link to the place: `help1.txt:12:81: warning: ...`.
#pragma once

#include <string>

namespace vestalo::tools {

struct Finding {
  std::string File;    // as the user finds it (media::PathForUser)
  int Line = 0;        // from 1; 0: the file as a whole
  int Column = 0;      // from 1, in bytes of the line
  bool Error = false;  // a missing file; everything else is a warning
  std::string Message;
};

// The finding as one line without its line end: FILE:LINE:COLUMN: warning: MESSAGE.
std::string FormatFinding(const Finding& finding);

}  // namespace vestalo::tools
