// --check: what goes wrong on the boot screen, told one finding a line.
#pragma once

#include <vector>

#include "config/Configuration.h"
#include "tools/Finding.h"
#include "tools/ToolTarget.h"

namespace vestalo::tools {

// Checks the medium's configuration and every screen file it names, or the one screen file
// named, and prints the findings. Returns the exit code: 0 without findings, 2 with; a file
// that cannot be read ends the run through ReportIOFailure.
int RunCheck(const ToolTarget& target);

// The findings about a scanned configuration: missing include, display and help files, and
// what each screen file it names does on the boot screen.
std::vector<Finding> CheckReport(const media::Medium& files, const ConfigurationReport& report);

}  // namespace vestalo::tools
