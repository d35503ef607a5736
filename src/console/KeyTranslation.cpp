#include "console/KeyTranslation.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace console {

namespace {

// Keys whose release means nothing on its own: Shift, Ctrl, Alt and Caps Lock.
constexpr uint16_t SkippedVirtualKeys[] = {16, 17, 18, 20};

// Alt with one of these characters gives 0 and then the parallel code.
constexpr std::string_view AltKeyChars = "-0123456789=abcdefghijklmnopqrstuvwxyz";
constexpr uint8_t AltKeyCodes[] = {0x82, 0x81, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
                                   0x80, 0x83, 0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23,
                                   0x17, 0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                   0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
static_assert(std::size(AltKeyCodes) == AltKeyChars.size());

// Ctrl with a key without a character: scan code to extended code (others keep theirs).
struct CtrlRow {
  uint8_t ScanCode, Code;
};
constexpr CtrlRow CtrlCodes[] = {{0x37, 0x72}, {0x49, 0x84}, {0x4B, 0x73},
                                 {0x4D, 0x74}, {0x4F, 0x75}, {0x51, 0x76}};

// Code page 437's letters that have both cases in it: lower, upper.
struct CasePair {
  uint8_t Lower, Upper;
};
constexpr CasePair CasePairs437[] = {{0x87, 0x80}, {0x81, 0x9A}, {0x82, 0x90}, {0x84, 0x8E},
                                     {0x86, 0x8F}, {0x91, 0x92}, {0x94, 0x99}, {0xA4, 0xA5}};

constexpr uint32_t AltBits = KeyState::RightAlt | KeyState::LeftAlt;
constexpr uint32_t CtrlBits = KeyState::RightCtrl | KeyState::LeftCtrl;

// F1 to F10: the keys whose extended code moves with Shift, Ctrl and Alt.
constexpr uint8_t FirstFunctionKey = 0x3B, LastFunctionKey = 0x44;
constexpr uint8_t ShiftOffset = 0x19, CtrlOffset = 0x23, AltOffset = 0x2D;
constexpr uint8_t TabScanCode = 0x0F;

bool IsSkipped(const KeyEvent& event) {
  if (event.KeyDown) return true;
  if (std::ranges::find(SkippedVirtualKeys, event.VirtualKey) != std::end(SkippedVirtualKeys))
    return true;
  // Its 0 would announce an extended code of 0, which reads as "another one waits".
  return event.Character == 0 && (event.ScanCode & 0xFF) == 0;
}

}  // namespace

uint8_t UpperCase437(uint8_t ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<uint8_t>(ch - 32);
  for (const auto& pair : CasePairs437)
    if (pair.Lower == ch) return pair.Upper;
  return ch;
}

bool IsUpperCase437(uint8_t ch) {
  if (ch >= 'A' && ch <= 'Z') return true;
  return std::ranges::any_of(CasePairs437, [ch](const CasePair& pair) { return pair.Upper == ch; });
}

std::optional<uint8_t> KeyTranslation::NextKey(const std::function<bool(KeyEvent&)>& read) {
  if (LastResult == 0) return LastResult = PendingCode;
  KeyEvent event;
  while (read(event))
    if (auto code = Translate(event)) return code;
  return std::nullopt;
}

std::optional<uint8_t> KeyTranslation::Translate(const KeyEvent& event) {
  if (IsSkipped(event)) return std::nullopt;
  const uint8_t ch = event.Character;
  const uint32_t state = event.ControlState;
  PendingCode = static_cast<uint8_t>(event.ScanCode & 0xFF);
  uint8_t result = ch;
  if (state != 0 && ch != 0) result = CharacterCode(ch, state);
  if (state != 0 && ch == 0) ChangeExtendedCode(state);
  return LastResult = result;
}

uint8_t KeyTranslation::CharacterCode(uint8_t ch, uint32_t state) {
  if (state & CtrlBits) return ch >= 'a' && ch <= 'z' ? static_cast<uint8_t>(ch - 96) : ch;
  if (state & AltBits) {
    const size_t place = AltKeyChars.find(static_cast<char>(ch));
    if (place == std::string_view::npos) return ch;
    PendingCode = AltKeyCodes[place];
    return 0;
  }
  if (state & KeyState::Shift) {
    if (ch != '\t') return UpperCase437(ch);
    PendingCode = TabScanCode;
    return 0;
  }
  return ch;
}

void KeyTranslation::ChangeExtendedCode(uint32_t state) {
  const bool functionKey = PendingCode >= FirstFunctionKey && PendingCode <= LastFunctionKey;
  if (state & KeyState::Shift) {
    if (functionKey) PendingCode += ShiftOffset;
  } else if (state & CtrlBits) {
    if (functionKey) {
      PendingCode += CtrlOffset;
      return;
    }
    for (const auto& row : CtrlCodes)
      if (row.ScanCode == PendingCode) PendingCode = row.Code;
  } else if (state & AltBits) {
    if (functionKey) PendingCode += AltOffset;
  }
}

}  // namespace console
