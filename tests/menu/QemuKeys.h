// The boot oracle's steps as keys of the menu: QEMU's key names (written out by hand, as the
// PC's keyboard interface gives them), letters, shift- and ctrl- forms, and text:abc.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "menu/Session.h"

namespace menu {

// QEMU's key names as the PC's keyboard interface gives them.
struct NamedKey {
  const char* Name;
  Key Code;
};
// clang-format off
constexpr NamedKey KeyNames[] = {
    {"ret", {13, 0}}, {"esc", {27, 0}}, {"tab", {9, 0}}, {"spc", {' ', 0}}, {"backspace", {8, 0}},
    {"up", {0, 0x48}}, {"down", {0, 0x50}}, {"left", {0, 0x4B}}, {"right", {0, 0x4D}}, {"home", {0, 0x47}},
    {"end", {0, 0x4F}}, {"pgup", {0, 0x49}}, {"pgdn", {0, 0x51}}, {"delete", {0, 0x53}},
    {"f1", {0, 0x3B}}, {"f2", {0, 0x3C}}, {"f3", {0, 0x3D}}, {"f4", {0, 0x3E}}, {"f5", {0, 0x3F}},
    {"f6", {0, 0x40}}, {"f7", {0, 0x41}}, {"f8", {0, 0x42}}, {"f9", {0, 0x43}}, {"f10", {0, 0x44}},
    {"f11", {0, 0x57}}, {"f12", {0, 0x58}},
};
// clang-format on

inline std::vector<Key> KeysOf(const std::string& step) {
  if (step.rfind("text:", 0) == 0) {
    std::vector<Key> typed;
    for (char c : step.substr(5)) typed.push_back({static_cast<uint8_t>(c), 0});
    return typed;
  }
  std::vector<Key> pressed;
  std::stringstream names(step);
  for (std::string name; std::getline(names, name, ',');) {
    const auto named = std::find_if(std::begin(KeyNames), std::end(KeyNames),
                                    [&](const NamedKey& k) { return name == k.Name; });
    if (named != std::end(KeyNames)) pressed.push_back(named->Code);
    else if (name.rfind("ctrl-", 0) == 0)
      pressed.push_back({static_cast<uint8_t>(name[5] - 'a' + 1), 0});
    else if (name.rfind("shift-", 0) == 0)
      pressed.push_back({static_cast<uint8_t>(name[6] - 'a' + 'A'), 0});
    else if (name.size() == 1) pressed.push_back({static_cast<uint8_t>(name[0]), 0});
    else ADD_FAILURE() << "key name " << name;
  }
  return pressed;
}

}  // namespace menu
