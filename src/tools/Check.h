// --check: what goes wrong on the boot screen, told one finding a line.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"
#include "tools/Finding.h"

namespace vestalo::tools {

// What a tool works on, as the command line names it.
struct ToolTarget {
  std::string Target;      // a screen file, a boot folder or an ISO image; empty: the current folder
  std::string ConfigName;  // -c NAME: the configuration to start from, on a boot medium only
};

// Checks the medium's configuration and every screen file it names, or the one screen file
// named, and prints the findings. Returns the exit code: 0 without findings, 2 with; a file
// that cannot be read ends the run through ReportIOFailure.
int RunCheck(const ToolTarget& target);

// The findings about a scanned configuration: missing include, display and help files, and
// what each screen file it names does on the boot screen.
std::vector<Finding> CheckReport(const ConfigurationReport& report);

}  // namespace vestalo::tools
