// The program body's values; they live for the whole run.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "media/Medium.h"

namespace vestalo {

// The files screens are shown from: the boot medium, or the computer's for a screen file
// named on the command line.
inline std::unique_ptr<media::Medium> MediumFiles;

inline std::string ConfigName;
inline std::string DisplayFile;
inline std::array<std::string, HelpFileCount + 1> HelpFiles;
inline std::string SelectedFile;
inline std::string ScreenText;
// What stands in for the splash screen of a configuration without a display line: the
// notice of what the configuration holds. Empty while DisplayFile names a file.
inline std::vector<std::string> SplashNotice;

}  // namespace vestalo
