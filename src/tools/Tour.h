// --snapshot DIR --keys K1,K2,...: the screens of a walk through the boot menu, one after
// each step, named as the boot oracle names its dumps (00-boot, 01-down, 02-text_abc, ...).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "media/Medium.h"
#include "menu/Session.h"
#include "screen/ColourScreen.h"
#include "screen/ScreenGrid.h"
#include "tools/TourKeys.h"

namespace vestalo::tools {

// One screen of a tour and what the step did besides drawing it.
struct TourScreen {
  std::string Stem;                 // "00-boot", "01-down", ...
  screen::ScreenGrid Grid;          // the screen after the step
  std::vector<std::string> Events;  // lines for the user: what would boot, what opened
  // The graphical menu's screen after the step, while it shows one; then Grid is its cells.
  std::optional<screen::GraphicalScreen> Graphics{};
  std::string Shows{};  // how the run names a graphics screen: "vesamenu.c32, 640x480"
};

// Walks the steps from the configuration `configName`: through its boot menu (`menus`, and a
// menu starts there), or else through the help-key menu, whose "x" ends the walk. `target`
// is the medium as the user named it, for the commands a notice lists.
std::vector<TourScreen> WalkTour(const media::Medium& files, const std::string& configName,
                                 bool menus, const std::vector<TourStep>& steps,
                                 const std::string& target);

// The screen the program shows for a configuration without a menu before any key: its
// display file, "File NAME not found", or the notice when it names none.
screen::ScreenGrid FirstHelpKeyScreen(const media::Medium& files, const std::string& configName,
                                      const std::string& target);

// How the run names the graphical menu's screen: the module and the resolution.
std::string GraphicsShown(const std::string& module, const menu::Session& session);

// Lines drawn as the program writes them onto a cleared screen, each followed by CR LF.
screen::ScreenGrid LinesScreen(const std::vector<std::string>& lines);

}  // namespace vestalo::tools
