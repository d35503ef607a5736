// Which configuration starts a boot menu: the loader runs its menu module when the
// configuration's UI line, or its DEFAULT without a UI line, names menu.c32 or vesamenu.c32.
#pragma once

#include <string>
#include <vector>

#include "config/Configuration.h"
#include "media/Medium.h"

namespace menu {

enum class Module { None, Text, Graphical };

struct MenuStart {
  Module Kind = Module::None;
  std::string ModuleName;             // as the line names it
  vestalo::ConfigurationPlace Where;  // the UI or DEFAULT line
  std::vector<std::string> Configs;   // what the menu reads, in order
  std::string StartConfig;            // the configuration the loader started from
};

// The menu module a name denotes (any letter case, any folder): menu.c32 or vesamenu.c32.
Module ModuleNamed(const std::string& name);

// Reads the configuration the loader starts from, its include lines followed, and tells
// whether a menu runs, which one and what it reads: the configurations named after the
// module ("~" is the start configuration), or the start configuration itself.
MenuStart FindMenuStart(const vestalo::media::Medium& files, const std::string& configName);

}  // namespace menu
