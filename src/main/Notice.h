// The first screen of a configuration that names no splash screen.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"

namespace vestalo {

// Most configurations that the notice lists; it stays within one 80x25 screen.
constexpr std::size_t MaxListedConfigurations = 8;

// The notice's lines, each under 80 columns: which configuration was read (`configForUser`,
// as the user finds it) with how many files it includes, which digit keys show help
// screens, and for each configuration its labels open (`config NAME`) the command that
// shows it: "vestalo -c NAME", followed by `target` when one was given.
std::vector<std::string> NoSplashNotice(const ConfigurationReport& report,
                                        const std::string& configForUser,
                                        const std::string& target);

}  // namespace vestalo
