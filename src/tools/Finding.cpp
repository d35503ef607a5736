#include "tools/Finding.h"

namespace vestalo::tools {

std::string FormatFinding(const Finding& finding) {
  std::string line = finding.File;
  if (finding.Line > 0) line += ":" + std::to_string(finding.Line) + ":" + std::to_string(finding.Column);
  line += finding.Error ? ": error: " : ": warning: ";
  return line + finding.Message;
}

}  // namespace vestalo::tools
