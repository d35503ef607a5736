// --check of the boot menu: what the menu module would look for and not find, and what it
// shows otherwise than the configuration's author wrote it.
#pragma once

#include <string>
#include <vector>

#include "media/Medium.h"
#include "tools/Finding.h"

namespace vestalo::tools {

// The findings about the boot menu that the configuration starts, each at the place of its
// directive: missing files (the module, kernels, initrds, CONFIG, MENU INCLUDE, MENU HELP and
// F-key files), hotkeys taken twice, titles and labels the menu cuts, MENU GOTO and MENU EXIT
// to no tag, menus that scroll, UTF-8 in titles and labels. Nothing when it starts no menu.
std::vector<Finding> CheckMenus(const media::Medium& files, const std::string& configName);

}  // namespace vestalo::tools
