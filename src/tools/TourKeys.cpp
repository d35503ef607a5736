#include "tools/TourKeys.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace vestalo::tools {

namespace {

struct NamedKey {
  const char* Name;
  menu::Key Code;
};

// QEMU's names of the keys without a character of their own, as the PC's keyboard interface
// gives them: a control character, or 0 and the extended code.
// clang-format off
constexpr NamedKey KeyNames[] = {
    {"ret", {13, 0}}, {"kp_enter", {13, 0}}, {"esc", {27, 0}}, {"tab", {9, 0}}, {"spc", {' ', 0}},
    {"backspace", {8, 0}}, {"up", {0, 0x48}}, {"down", {0, 0x50}}, {"left", {0, 0x4B}},
    {"right", {0, 0x4D}}, {"home", {0, 0x47}}, {"end", {0, 0x4F}}, {"pgup", {0, 0x49}},
    {"pgdn", {0, 0x51}}, {"insert", {0, 0x52}}, {"delete", {0, 0x53}}, {"f1", {0, 0x3B}},
    {"f2", {0, 0x3C}}, {"f3", {0, 0x3D}}, {"f4", {0, 0x3E}}, {"f5", {0, 0x3F}}, {"f6", {0, 0x40}},
    {"f7", {0, 0x41}}, {"f8", {0, 0x42}}, {"f9", {0, 0x43}}, {"f10", {0, 0x44}},
    {"f11", {0, 0x57}}, {"f12", {0, 0x58}}, {"minus", {'-', 0}}, {"equal", {'=', 0}},
    {"comma", {',', 0}}, {"dot", {'.', 0}}, {"slash", {'/', 0}}, {"semicolon", {';', 0}},
    {"apostrophe", {'\'', 0}}, {"backslash", {'\\', 0}}, {"bracket_left", {'[', 0}},
    {"bracket_right", {']', 0}}, {"grave_accent", {'`', 0}}, {"asterisk", {'*', 0}},
};
// clang-format on

// What Shift makes of the US keyboard's keys with a character.
constexpr char Unshifted[] = "1234567890-=[];'`\\,./";
constexpr char Shifted[] = "!@#$%^&*()_+{}:\"~|<>?";

// The character a key name without modifiers types: a letter, a digit, or a named key.
std::optional<menu::Key> PlainKey(const std::string& name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])) &&
      !std::isupper(static_cast<unsigned char>(name[0])))
    return menu::Key{static_cast<uint8_t>(name[0]), 0};
  const auto named = std::find_if(std::begin(KeyNames), std::end(KeyNames),
                                  [&](const NamedKey& key) { return name == key.Name; });
  if (named == std::end(KeyNames)) return std::nullopt;
  return named->Code;
}

std::optional<menu::Key> OneKey(const std::string& name) {
  if (name.starts_with("shift-")) {
    const auto key = PlainKey(name.substr(6));
    if (!key || key->Char == 0) return key;
    const char c = static_cast<char>(key->Char);
    if (std::islower(static_cast<unsigned char>(c)))
      return menu::Key{static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(c))), 0};
    if (const char* at = std::strchr(Unshifted, c); at != nullptr)
      return menu::Key{static_cast<uint8_t>(Shifted[at - Unshifted]), 0};
    if (c == '\t') return menu::Key{0, 0x0F};  // Shift+Tab: the PC's back tab
    return key;
  }
  if (name.starts_with("ctrl-")) {
    const auto key = PlainKey(name.substr(5));
    if (!key || !std::islower(key->Char)) return std::nullopt;
    return menu::Key{static_cast<uint8_t>(key->Char - 'a' + 1), 0};
  }
  return PlainKey(name);
}

// The oracle's file name of a step: letters, digits, "-" and "_" kept, anything else "_".
std::string SafeName(const std::string& step) {
  std::string name = step;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
  return name;
}

}  // namespace

std::optional<TourStep> ReadTourStep(const std::string& item, std::string& unknown) {
  TourStep step;
  if (item.starts_with("text:")) {
    for (char c : item.substr(5)) step.Keys.push_back({static_cast<uint8_t>(c), 0});
    step.Name = SafeName(item);
    return step;
  }
  if (item.starts_with("wait:")) {
    const std::string seconds = item.substr(5);
    char* end = nullptr;
    const double value = std::strtod(seconds.c_str(), &end);
    if (seconds.empty() || *end != 0 || !(value >= 0) || value > 86400) {
      unknown = item;
      return std::nullopt;
    }
    step.WaitMs = static_cast<int>(value * 1000 + 0.5);
    step.Name = SafeName(item);
    return step;
  }
  // "+" joins keys of one step, which the oracle writes with ",": both name it with "_".
  for (std::size_t start = 0;;) {
    const std::size_t plus = item.find('+', start);
    const std::string name = item.substr(start, plus - start);
    const auto key = OneKey(name);
    if (!key) {
      unknown = name;
      return std::nullopt;
    }
    step.Keys.push_back(*key);
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  step.Name = SafeName(item);
  return step;
}

}  // namespace vestalo::tools
