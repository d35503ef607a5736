#include "console/KeyTranslation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace console {
namespace {

constexpr uint32_t RAlt = 0x01, LAlt = 0x02, RCtrl = 0x04, LCtrl = 0x08, Shift = 0x10,
                   NumLock = 0x20, Caps = 0x80;

KeyEvent Up(uint16_t virtualKey, uint16_t scanCode, uint8_t ch, uint32_t state = 0) {
  return KeyEvent{false, virtualKey, scanCode, ch, state};
}
KeyEvent Down(uint16_t virtualKey, uint16_t scanCode, uint8_t ch, uint32_t state = 0) {
  return KeyEvent{true, virtualKey, scanCode, ch, state};
}

const KeyEvent F1 = Up(112, 0x3B, 0);

// Every key code NextKey returns for the events, until they run out.
std::vector<int> Codes(const std::vector<KeyEvent>& events) {
  KeyTranslation keys;
  size_t next = 0;
  auto read = [&](KeyEvent& event) {
    if (next == events.size()) return false;
    event = events[next++];
    return true;
  };
  std::vector<int> codes;
  while (codes.size() < 20)
    if (auto code = keys.NextKey(read)) codes.push_back(*code);
    else break;
  return codes;
}

struct Case {
  std::string Name;
  std::vector<KeyEvent> Events;
  std::vector<int> Expected;
};

TEST(KeyTranslation, KeyEventsGiveThePcKeyCodes) {
  // clang-format off
  const Case cases[] = {
      {"F1", {F1}, {0, 0x3B}},  {"Shift+F1", {Up(112, 0x3B, 0, Shift)}, {0, 0x54}},
      {"Ctrl+F1", {Up(112, 0x3B, 0, LCtrl)}, {0, 0x5E}},  {"right Ctrl+F10", {Up(121, 0x44, 0, RCtrl)}, {0, 0x67}},
      {"Alt+F1", {Up(112, 0x3B, 0, LAlt)}, {0, 0x68}},  {"Shift+Ctrl+F2: Shift first", {Up(113, 0x3C, 0, Shift | LCtrl)}, {0, 0x55}},
      {"Alt+x", {Up('X', 0x2D, 'x', LAlt)}, {0, 0x2D}},  {"right Alt+=", {Up(0xBB, 0x0D, '=', RAlt)}, {0, 0x83}},
      {"Alt+-", {Up(0xBD, 0x0C, '-', LAlt)}, {0, 0x82}},  {"Alt+1", {Up('1', 0x02, '1', LAlt)}, {0, 0x78}},
      {"Alt+[ is not in the Alt table", {Up(0xDB, 0x1A, '[', LAlt)}, {'['}},
      {"Alt+Shift+a reported 'A'", {Up('A', 0x1E, 'A', LAlt | Shift)}, {'A'}},
      {"Shift+Tab", {Up(9, 0x0F, 9, Shift)}, {0, 0x0F}},  {"Tab", {Up(9, 0x0F, 9)}, {9}},
      {"Ctrl+d reported as 4", {Up('D', 0x20, 4, LCtrl)}, {4}},  {"Ctrl+d reported as 'd'", {Up('D', 0x20, 'd', LCtrl)}, {4}},
      {"Ctrl+Alt+x: Ctrl first", {Up('X', 0x2D, 'x', LCtrl | LAlt)}, {24}},
      {"'{' with right Alt and left Ctrl", {Up(0xDB, 0x1A, '{', RAlt | LCtrl)}, {'{'}},
      {"Ctrl+Left", {Up(37, 0x4B, 0, LCtrl)}, {0, 0x73}},  {"Ctrl+Right", {Up(39, 0x4D, 0, RCtrl)}, {0, 0x74}},
      {"Ctrl+End", {Up(35, 0x4F, 0, LCtrl)}, {0, 0x75}},  {"Ctrl+Page Up", {Up(33, 0x49, 0, LCtrl)}, {0, 0x84}},
      {"Ctrl+Page Down", {Up(34, 0x51, 0, LCtrl)}, {0, 0x76}},  {"Ctrl+Print Screen", {Up(44, 0x37, 0, LCtrl)}, {0, 0x72}},
      {"Ctrl+Home is not in the Ctrl table", {Up(36, 0x47, 0, LCtrl)}, {0, 0x47}},
      {"Shift+Home", {Up(36, 0x47, 0, Shift)}, {0, 0x47}},  {"Up with Num Lock on", {Up(38, 0x48, 0, NumLock)}, {0, 0x48}},
      {"Num Lock", {Up(144, 0x45, 0, NumLock)}, {0, 0x45}},  {"'7' with Num Lock on", {Up(103, 0x47, '7', NumLock)}, {'7'}},
      {"'a' with Caps Lock on, reported 'A'", {Up('A', 0x1E, 'A', Caps)}, {'A'}},
      {"Shift+a reported 'a'", {Up('A', 0x1E, 'a', Shift)}, {'A'}},
      {"Shift with code page 437 letters", {Up(0, 0, 0x87, Shift), Up(0, 0, 0xA4, Shift), Up(0, 0, 0x85, Shift)},
       {0x80, 0xA5, 0x85}},
      {"Enter, Esc, Backspace", {Up(13, 0x1C, 13), Up(27, 0x01, 27), Up(8, 0x0E, 8)}, {13, 27, 8}},
      {"Shift, Ctrl, Alt and Caps Lock alone",
       {Up(16, 0x2A, 0, Shift), Up(17, 0x1D, 0, LCtrl), Up(18, 0x38, 0, LAlt), Up(20, 0x3A, 0, Caps)}, {}},
      {"key presses are skipped", {Down('5', 0x06, '5'), Down('5', 0x06, '5'), Up('5', 0x06, '5')}, {'5'}},
      {"Alt released before x", {Down(18, 0x38, 0, LAlt), Down('X', 0x2D, 'x', LAlt), Up(18, 0x38, 0), Up('X', 0x2D, 'x')},
       {'x'}},
      {"a key with neither character nor scan code", {Up(0xFF, 0, 0), Up(0xFF, 0, 0, LCtrl), Up('5', 0x06, '5')}, {'5'}},
      {"a character without scan code", {Up(0, 0, 0x82)}, {0x82}},
      {"F11 and F12 keep their codes with every modifier",
       {Up(122, 0x57, 0, Shift), Up(123, 0x58, 0, LCtrl), Up(122, 0x57, 0, RAlt), Up(123, 0x58, 0)},
       {0, 0x57, 0, 0x58, 0, 0x57, 0, 0x58}},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(Codes(c.Events), c.Expected) << c.Name;
}

}  // namespace
}  // namespace console
