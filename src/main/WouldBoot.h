// The screen Vestalo shows where the boot loader would boot an entry: what would run, the
// command line the loader builds, and whether each file it names is on the medium.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "menu/Session.h"

namespace vestalo {

// The screen's lines, each under 80 columns, at most 24. `present` tells whether a file the
// entry names is on the medium.
std::vector<std::string> WouldBootLines(const menu::Outcome& boot,
                                        const std::function<bool(const std::string&)>& present);

}  // namespace vestalo
