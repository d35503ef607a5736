// The usage text, in the form for "-help" and in the form for a missing configuration,
// and the version lines.
#pragma once

#include <string>
#include <vector>

namespace vestalo {

// The program's version, from the build.
extern const char* const VersionText;

// The banner line: the program, its version, its authors and where to find them.
extern const std::string BannerLine;

// The lines of the usage text for "-help".
std::vector<std::string> HelpUsageLines();

// The lines shown when no configuration file is found.
std::vector<std::string> MissingConfigurationLines();

// The lines of --version: "vestalo VERSION", then what this build can and cannot do.
std::vector<std::string> VersionLines();

}  // namespace vestalo
