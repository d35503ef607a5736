// The first screen of a configuration that names no splash screen.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"

namespace vestalo {

// Most configurations that the notice lists; it stays within one 80x25 screen.
constexpr std::size_t MaxListedConfigurations = 8;

// The notice's lines, at most 24, each under 80 columns: which configuration was read and
// every file it includes (`filesForUser`: the scan's files as the user finds them, the
// configuration first), which digit keys show help screens, and for each configuration its
// labels open (`config NAME`) the command that shows it: "vestalo -c NAME", followed by
// `target` when one was given.
std::vector<std::string> NoSplashNotice(const ConfigurationReport& report,
                                        const std::vector<std::string>& filesForUser,
                                        const std::string& target);

}  // namespace vestalo
