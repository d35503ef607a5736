// The first screen of a configuration that names no splash screen.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"
#include "media/Medium.h"

namespace vestalo {

// Most configurations that the notice lists; it stays within one 80x25 screen.
constexpr std::size_t MaxListedConfigurations = 8;

// The notice's lines, at most 24, each at most 79 columns: which configuration was read and
// every file it includes (as the user finds them, the configuration first), which digit keys
// show help screens and which help files are missing, and for each configuration its labels
// open (`config NAME`) the command that shows it: "vestalo -c NAME", followed by `target` when
// one was given; a configuration that is not on the medium is told as missing instead.
std::vector<std::string> NoSplashNotice(const media::Medium& files,
                                        const ConfigurationReport& report,
                                        const std::string& target);

}  // namespace vestalo
