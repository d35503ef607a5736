// What the author tools work on, opened by the program before it hands them over.
#pragma once

#include <string>
#include <vector>

#include "media/Medium.h"

namespace vestalo::tools {

struct ToolTarget {
  // The boot medium, or the computer's files when one screen file is named.
  const media::Medium& Files;
  // One screen file named on the command line; empty for a boot medium.
  std::string ScreenFile;
  // On a boot medium: the configuration to start from (-c, or the one the loader finds);
  // empty when there is none.
  std::string ConfigName;
  // Whether a configuration that starts a boot menu shows it (not with --no-menu).
  bool Menus = true;
  // --snapshot --keys: the keys of a tour of the boot menu, in the boot oracle's names.
  std::vector<std::string> Keys{};
  // The medium as the user named it on the command line (empty: the current folder), for
  // the commands the notice lists.
  std::string MediumName{};
};

}  // namespace vestalo::tools
