// The usage text, in the form for "-help" and in the form for a missing configuration.
#pragma once

#include <string>
#include <vector>

namespace vestalo {

// The banner line: the program, its authors and where to find them.
extern const char* const BannerLine;

// The lines of the usage text for "-help".
std::vector<std::string> HelpUsageLines();

// The lines shown when no configuration file is found.
std::vector<std::string> MissingConfigurationLines();

}  // namespace vestalo
