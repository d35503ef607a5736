// The keys of a --snapshot --keys tour, named as the boot oracle names them (QEMU's key
// names), so that a tour's snapshots compare file for file with the oracle's dumps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "menu/Session.h"

namespace vestalo::tools {

// One step of a tour: keys pressed together, typed text, or time passing.
struct TourStep {
  std::string Name;             // as the oracle names its dump: "down_down", "text_abc", "wait_1_5"
  std::vector<menu::Key> Keys;  // pressed in order
  int WaitMs = -1;              // wait:S: the milliseconds that pass; -1: keys
};

// The step of one --keys item: "down", "down+down", "text:abc", "wait:1.5"; nothing when a
// key name is unknown, which `unknown` then holds.
std::optional<TourStep> ReadTourStep(const std::string& item, std::string& unknown);

}  // namespace vestalo::tools
