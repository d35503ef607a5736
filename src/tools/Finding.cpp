#include "tools/Finding.h"

namespace vestalo::tools {

std::string FormatFinding(const Finding& finding) {
  // Appended piece by piece: GCC 12 for 32-bit Windows warns of overlaps (-Wrestrict) that a
  // chain of concatenations cannot have.
  std::string line = finding.File;
  if (finding.Line > 0) {
    line.append(":").append(std::to_string(finding.Line));
    line.append(":").append(std::to_string(finding.Column));
  }
  line.append(finding.Error ? ": error: " : ": warning: ");
  return line.append(finding.Message);
}

}  // namespace vestalo::tools
