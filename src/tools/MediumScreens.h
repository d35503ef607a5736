// The screens a boot medium's configuration names: its display file and its help files,
// for --check and --snapshot; and the finding when there is no configuration to read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "tools/ScreenCheck.h"
#include "tools/ToolTarget.h"

namespace vestalo::tools {

struct NamedScreen {
  NamedFile File;   // the name and the place of the line that names it
  std::string Key;  // "display", or the help key: "F1" .. "F10"
  ScreenRole Role;
};

// The display file, then the help files of F1 .. F10, from a finished configuration scan:
// each file once (as the first line that names it), or with `eachRole` once in each role it
// plays (a display file that is also a help file is drawn both ways at boot).
std::vector<NamedScreen> ScreensOf(const media::Medium& files, const ConfigurationReport& report,
                                   bool eachRole = false);

// A finding at a configuration line's place, as the user finds that file.
Finding FindingAt(const media::Medium& files, const ConfigurationPlace& place, bool error,
                  std::string message);

// The finding for a boot medium without the configuration to start from: the loader shows
// no screen at all then. Nothing when the configuration is there.
std::optional<Finding> MissingConfiguration(const ToolTarget& target);

}  // namespace vestalo::tools
