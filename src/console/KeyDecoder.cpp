#include "console/KeyDecoder.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <span>

#include "base/Utf8.h"
#include "console/KeyTranslation.h"
#include "screen/Cp437.h"

namespace console {

namespace {

constexpr char Esc = '\x1b';
// Longer than any key sequence; a run of parameter bytes beyond it is thrown away whole.
constexpr size_t MaxSequence = 64;
constexpr std::string_view PasteEnd = "\x1b[201~";
// A terminal's answer in a string (APC, DCS) is short; anything longer is typed keys.
constexpr size_t MaxAnswerString = 4096;
constexpr std::string_view StringEnd = "\x1b\\";
constexpr int PasteStartNumber = 200;

// What a PC console reports for a key: virtual-key code, scan code and character.
struct KeyIdentity {
  uint16_t VirtualKey = 0;
  uint16_t ScanCode = 0;
  uint8_t Character = 0;
};

constexpr KeyIdentity Up{38, 0x48}, Down{40, 0x50}, Right{39, 0x4D}, Left{37, 0x4B};
constexpr KeyIdentity Home{36, 0x47}, End{35, 0x4F}, PageUp{33, 0x49}, PageDown{34, 0x51};
constexpr KeyIdentity Insert{45, 0x52}, Delete{46, 0x53}, Clear{12, 0x4C};
constexpr KeyIdentity Tab{9, 0x0F, '\t'}, Enter{13, 0x1C, '\r'}, Backspace{8, 0x0E, '\b'};
constexpr KeyIdentity Escape{27, 0x01, 27};
constexpr KeyIdentity F1{112, 0x3B}, F2{113, 0x3C}, F3{114, 0x3D}, F4{115, 0x3E}, F5{116, 0x3F};
constexpr KeyIdentity F6{117, 0x40}, F7{118, 0x41}, F8{119, 0x42}, F9{120, 0x43}, F10{121, 0x44};
constexpr KeyIdentity F11{122, 0x57}, F12{123, 0x58};

constexpr uint32_t Shift = KeyState::Shift, Ctrl = KeyState::LeftCtrl, Alt = KeyState::LeftAlt;

// The keys of a US PC keyboard that give a printable character, plain and with Shift.
struct PrintableKey {
  char Plain, Shifted;
  uint8_t VirtualKey, ScanCode;
};
// clang-format off
constexpr PrintableKey PrintableKeys[] = {
    {'1', '!', '1', 0x02},  {'2', '@', '2', 0x03},  {'3', '#', '3', 0x04},  {'4', '$', '4', 0x05},
    {'5', '%', '5', 0x06},  {'6', '^', '6', 0x07},  {'7', '&', '7', 0x08},  {'8', '*', '8', 0x09},
    {'9', '(', '9', 0x0A},  {'0', ')', '0', 0x0B},  {'-', '_', 0xBD, 0x0C}, {'=', '+', 0xBB, 0x0D},
    {'q', 'Q', 'Q', 0x10},  {'w', 'W', 'W', 0x11},  {'e', 'E', 'E', 0x12},  {'r', 'R', 'R', 0x13},
    {'t', 'T', 'T', 0x14},  {'y', 'Y', 'Y', 0x15},  {'u', 'U', 'U', 0x16},  {'i', 'I', 'I', 0x17},
    {'o', 'O', 'O', 0x18},  {'p', 'P', 'P', 0x19},  {'[', '{', 0xDB, 0x1A}, {']', '}', 0xDD, 0x1B},
    {'a', 'A', 'A', 0x1E},  {'s', 'S', 'S', 0x1F},  {'d', 'D', 'D', 0x20},  {'f', 'F', 'F', 0x21},
    {'g', 'G', 'G', 0x22},  {'h', 'H', 'H', 0x23},  {'j', 'J', 'J', 0x24},  {'k', 'K', 'K', 0x25},
    {'l', 'L', 'L', 0x26},  {';', ':', 0xBA, 0x27}, {'\'', '"', 0xDE, 0x28}, {'`', '~', 0xC0, 0x29},
    {'\\', '|', 0xDC, 0x2B}, {'z', 'Z', 'Z', 0x2C}, {'x', 'X', 'X', 0x2D},  {'c', 'C', 'C', 0x2E},
    {'v', 'V', 'V', 0x2F},  {'b', 'B', 'B', 0x30},  {'n', 'N', 'N', 0x31},  {'m', 'M', 'M', 0x32},
    {',', '<', 0xBC, 0x33}, {'.', '>', 0xBE, 0x34}, {'/', '?', 0xBF, 0x35}, {' ', ' ', ' ', 0x39},
};
// clang-format on

// Control bytes that are keys of their own, or Ctrl with a key that is not a letter.
// (The line discipline turns Enter's CR into LF, so LF is Enter too.)
struct ControlByteRow {
  uint8_t Byte;
  KeyIdentity Key;
  uint32_t State;
};
// clang-format off
constexpr ControlByteRow ControlBytes[] = {
    {0x00, {' ', 0x39, ' '}, Ctrl}, {0x08, Backspace, 0},          {0x09, Tab, 0},
    {0x0A, Enter, 0},               {0x0D, Enter, 0},              {0x1C, {0xDC, 0x2B, 0x1C}, Ctrl},
    {0x1D, {0xDD, 0x1B, 0x1D}, Ctrl}, {0x1E, {'6', 0x07, 0x1E}, Ctrl}, {0x1F, {0xBD, 0x0C, 0x1F}, Ctrl},
    {0x7F, Backspace, 0},
};
// clang-format on

// Sequences ending in a letter (CSI or SS3, the modifier parameter before the final byte).
struct FinalRow {
  char Final;
  KeyIdentity Key;
  uint32_t State;
};
// clang-format off
constexpr FinalRow CsiFinalKeys[] = {
    {'A', Up, 0},       {'B', Down, 0},     {'C', Right, 0},    {'D', Left, 0},  {'E', Clear, 0},
    {'F', End, 0},      {'H', Home, 0},     {'P', F1, 0},       {'Q', F2, 0},    {'R', F3, 0},
    {'S', F4, 0},       {'Z', Tab, Shift},  {'a', Up, Shift},   {'b', Down, Shift},  // rxvt
    {'c', Right, Shift}, {'d', Left, Shift},
};
// clang-format on
// clang-format off
constexpr FinalRow Ss3FinalKeys[] = {
    {'A', Up, 0},   {'B', Down, 0}, {'C', Right, 0}, {'D', Left, 0},   {'E', Clear, 0},
    {'F', End, 0},  {'H', Home, 0}, {'P', F1, 0},    {'Q', F2, 0},     {'R', F3, 0},
    {'S', F4, 0},   {'a', Up, Ctrl}, {'b', Down, Ctrl}, {'c', Right, Ctrl}, {'d', Left, Ctrl},  // rxvt
    {'M', Enter, 0},  // the keypad in application mode:
    {'j', {106, 0x37, '*'}, 0}, {'k', {107, 0x4E, '+'}, 0}, {'m', {109, 0x4A, '-'}, 0},
    {'n', {110, 0x53, '.'}, 0}, {'o', {111, 0x35, '/'}, 0}, {'p', {96, 0x52, '0'}, 0},
    {'q', {97, 0x4F, '1'}, 0},  {'r', {98, 0x50, '2'}, 0},  {'s', {99, 0x51, '3'}, 0},
    {'t', {100, 0x4B, '4'}, 0}, {'u', {101, 0x4C, '5'}, 0}, {'v', {102, 0x4D, '6'}, 0},
    {'w', {103, 0x47, '7'}, 0}, {'x', {104, 0x48, '8'}, 0}, {'y', {105, 0x49, '9'}, 0},
};
// clang-format on
// The Linux console's F1-F5: CSI [ A to CSI [ E.
constexpr FinalRow LinuxConsoleKeys[] = {
    {'A', F1, 0}, {'B', F2, 0}, {'C', F3, 0}, {'D', F4, 0}, {'E', F5, 0}};

// VT220 style CSI number ~ (rxvt's Home 7 and End 8 among them).
struct NumberRow {
  int Number;
  KeyIdentity Key;
};
// clang-format off
constexpr NumberRow TildeKeys[] = {
    {1, Home},  {2, Insert}, {3, Delete}, {4, End},  {5, PageUp}, {6, PageDown}, {7, Home},
    {8, End},   {11, F1},    {12, F2},    {13, F3},  {14, F4},    {15, F5},      {17, F6},
    {18, F7},   {19, F8},    {20, F9},    {21, F10}, {23, F11},   {24, F12},
};
// clang-format on
// rxvt puts the modifiers of those keys into the final byte.
constexpr FinalRow TildeFinals[] = {
    {'~', {}, 0}, {'$', {}, Shift}, {'^', {}, Ctrl}, {'@', {}, Ctrl | Shift}};

// Kitty keyboard protocol: keys reported by a code of their own.
// clang-format off
constexpr NumberRow KittyKeys[] = {
    {9, Tab},
    {13, Enter},
    {27, Escape},
    {127, Backspace},
    {57358, {20, 0x3A}},    // Caps Lock
    {57359, {145, 0x46}},   // Scroll Lock
    {57360, {144, 0x45}},   // Num Lock
    {57361, {44, 0x37}},    // Print Screen
    {57414, Enter},         // keypad Enter
    {57441, {16, 0x2A}},    // left Shift
    {57442, {17, 0x1D}},    // left Ctrl
    {57443, {18, 0x38}},    // left Alt
    {57447, {16, 0x36}},    // right Shift
    {57448, {17, 0x1D}},    // right Ctrl
    {57449, {18, 0x38}},    // right Alt
    {57410, {111, 0x35, '/'}}, {57411, {106, 0x37, '*'}}, {57412, {109, 0x4A, '-'}},
    {57413, {107, 0x4E, '+'}}, {57415, {0xBB, 0x0D, '='}},
    {57417, Left}, {57418, Right}, {57419, Up}, {57420, Down}, {57421, PageUp}, {57422, PageDown},
    {57423, Home}, {57424, End}, {57425, Insert}, {57426, Delete}, {57427, Clear},
};
// clang-format on
// Kitty's keypad digits and point: a character with Num Lock on, a cursor key without.
struct KeypadRow {
  int Number;
  KeyIdentity WithNumLock, WithoutNumLock;
};
// clang-format off
constexpr KeypadRow KittyKeypad[] = {
    {57399, {96, 0x52, '0'}, Insert},  {57400, {97, 0x4F, '1'}, End},   {57401, {98, 0x50, '2'}, Down},
    {57402, {99, 0x51, '3'}, PageDown}, {57403, {100, 0x4B, '4'}, Left}, {57404, {101, 0x4C, '5'}, Clear},
    {57405, {102, 0x4D, '6'}, Right},  {57406, {103, 0x47, '7'}, Home}, {57407, {104, 0x48, '8'}, Up},
    {57408, {105, 0x49, '9'}, PageUp}, {57409, {110, 0x53, '.'}, Delete},
};
// clang-format on

// Modifier parameter bits (the parameter is 1 + bits) and the key state they give.
struct ModifierBit {
  int Bit;
  uint32_t State;
};
// clang-format off
constexpr ModifierBit ModifierBits[] = {
    {1, Shift}, {2, Alt}, {4, Ctrl}, {64, KeyState::CapsLock}, {128, KeyState::NumLock}};

constexpr int EventPress = 1, EventRelease = 3;

// The row of `table` whose `field` is `value`, or null.
template <typename Table, typename Value, typename Field>
auto Find(const Table& table, Value value, Field field) -> decltype(&*std::begin(table)) {
  auto found = std::ranges::find(table, value, field);
  return found == std::end(table) ? nullptr : &*found;
}

const PrintableKey* FindPrintable(int ch, bool& shifted) {
  for (const auto& key : PrintableKeys) {
    if (key.Plain == ch || key.Shifted == ch) {
      shifted = key.Plain != ch;
      return &key;
    }
  }
  return nullptr;
}

// The numbers of a sequence's parameters: up to three fields of up to three sub-fields
// (kitty: code:shifted:base ; modifiers:event ; text). Missing numbers are -1.
struct Parameters {
  std::array<std::array<int, 3>, 3> Numbers;

  explicit Parameters(std::string_view text) {
    for (auto& field : Numbers) field.fill(-1);
    size_t field = 0, sub = 0;
    for (char c : text) {
      if (c == ';') {
        ++field, sub = 0;
      } else if (c == ':') {
        ++sub;
      } else if (c >= '0' && c <= '9' && field < 3 && sub < 3) {
        int& number = Numbers[field][sub];
        number = std::min(std::max(number, 0) * 10 + (c - '0'), 1 << 24);
      }
    }
  }
  int At(size_t field, size_t sub) const { return Numbers[field][sub]; }
};
// clang-format on

uint32_t ModifierState(int parameter) {
  if (parameter < 1) return 0;
  uint32_t state = 0;
  for (const auto& bit : ModifierBits)
    if ((parameter - 1) & bit.Bit) state |= bit.State;
  return state;
}

// The character a kitty key event stands for, as a console would report it.
std::optional<uint8_t> KittyCharacter(int code, int shifted, uint32_t state,
                                      const PrintableKey* key) {
  int ch = code;
  if (code >= 'a' && code <= 'z') {
    const bool upper = ((state & Shift) != 0) != ((state & KeyState::CapsLock) != 0);
    ch = (state & Ctrl) ? code & 0x1F : upper ? code - 32 : code;
  } else if (state & Shift) {
    ch = shifted > 0 ? shifted : key != nullptr ? key->Shifted : code;
  }
  if (ch < 0x80) return static_cast<uint8_t>(ch);
  const int byte = screen::Cp437ByteFor(static_cast<char32_t>(ch));
  if (byte < 0) return std::nullopt;
  return static_cast<uint8_t>(byte);
}

// The key a kitty CSI code[:shifted] u event stands for.
std::optional<KeyIdentity> KittyKey(int code, int shifted, uint32_t state) {
  if (auto row = Find(KittyKeys, code, &NumberRow::Number)) return row->Key;
  if (auto pad = Find(KittyKeypad, code, &KeypadRow::Number))
    return (state & KeyState::NumLock) ? pad->WithNumLock : pad->WithoutNumLock;
  if ((code < 0x20 || code >= 0x7F) && code < 0xA0) return std::nullopt;
  bool reportedShifted = false;  // kitty reports the unshifted key; this stays false
  const PrintableKey* printable = code < 0x7F ? FindPrintable(code, reportedShifted) : nullptr;
  const auto ch = KittyCharacter(code, shifted, state, printable);
  if (!ch) return std::nullopt;
  if (printable == nullptr) return KeyIdentity{0, 0, *ch};
  return KeyIdentity{printable->VirtualKey, printable->ScanCode, *ch};
}

using LetterKeys = std::span<const FinalRow>;

// The character typed at the front of the bytes, and how many bytes it took; 0 bytes when
// more are needed. A byte that starts no UTF-8 character is taken as Latin-1.
std::pair<char32_t, size_t> TypedCharacter(std::string_view bytes) {
  const vestalo::Utf8Char decoded = vestalo::DecodeUtf8(bytes);
  if (decoded.Result == vestalo::Utf8Char::Invalid)
    return {static_cast<unsigned char>(bytes[0]), 1};
  return {decoded.CodePoint, decoded.Length};
}

}  // namespace

struct KeyDecoder::Parsed {
  enum Kind { Key, Nothing, NeedMore } Kind = Nothing;
  size_t Length = 0;
  KeyEvent Event;

  static Parsed More() { return {NeedMore, 0, {}}; }
  static Parsed Skip(size_t length) { return {Nothing, length, {}}; }
  static Parsed Of(const KeyIdentity& key, uint32_t state, size_t length, bool keyDown = false) {
    return {Key, length, KeyEvent{keyDown, key.VirtualKey, key.ScanCode, key.Character, state}};
  }
};

void KeyDecoder::Push(std::string_view bytes) { Bytes.append(bytes); }

DecodeResult KeyDecoder::Next(KeyEvent& event, bool expired) {
  for (;;) {
    if (InPaste && !SkipPaste()) return DecodeResult::Empty;
    if (Overlong != OverlongPart::None && !SkipOverlongRest()) return DecodeResult::Empty;
    if (Bytes.empty()) return DecodeResult::Empty;
    const Parsed parsed = ParseKey(Bytes, expired);
    if (parsed.Kind == Parsed::NeedMore) return DecodeResult::NeedMore;
    Bytes.erase(0, parsed.Length);
    if (parsed.Kind == Parsed::Key) {
      event = parsed.Event;
      return DecodeResult::Key;
    }
  }
}

// Drops the rest of a sequence too long to hold, by the same rules that end a sequence
// read whole: its final byte goes with it, a byte that breaks it off is read as usual.
// False while more of it may follow.
bool KeyDecoder::SkipOverlongRest() {
  size_t at = 0;
  bool ended = false;
  for (; at < Bytes.size() && !ended; ++at) {
    const char c = Bytes[at];
    if (Overlong == OverlongPart::Parameters && c >= 0x30 && c <= 0x3F) continue;
    if (Overlong == OverlongPart::Parameters && c == '$' && !OverlongSs3) {
      ended = true;  // rxvt's Shift ending, dropped with the rest
    } else if (c >= 0x20 && c <= 0x2F) {
      Overlong = OverlongPart::Intermediates;
    } else {
      ended = true;
      if (c < 0x40 || c > 0x7E) break;  // broken off: this byte is read as usual
    }
  }
  Bytes.erase(0, at);
  if (!ended) return false;
  Overlong = OverlongPart::None;
  return true;
}

// Pasted text is not typed keys: one paste could pick a help screen and end the program
// at once. It is dropped up to the end marker.
bool KeyDecoder::SkipPaste() {
  const size_t end = Bytes.find(PasteEnd);
  if (end == std::string::npos) {
    // Keep what could be the start of a marker split over reads.
    Bytes.erase(0, Bytes.size() > PasteEnd.size() ? Bytes.size() - (PasteEnd.size() - 1) : 0);
    return false;
  }
  Bytes.erase(0, end + PasteEnd.size());
  InPaste = false;
  return true;
}

KeyDecoder::Parsed KeyDecoder::ParseKey(std::string_view bytes, bool expired) {
  const auto first = static_cast<unsigned char>(bytes[0]);
  if (first == Esc) return ParseEscape(bytes, expired);
  if (first >= 0x80) {
    const auto [point, length] = TypedCharacter(bytes);
    if (length == 0) return expired ? Parsed::Skip(bytes.size()) : Parsed::More();
    const int byte = screen::Cp437ByteFor(point);
    if (byte < 0) return Parsed::Skip(length);
    const auto ch = static_cast<uint8_t>(byte);
    return Parsed::Of({0, 0, ch}, IsUpperCase437(ch) ? Shift : 0, length);
  }
  if (auto row = Find(ControlBytes, first, &ControlByteRow::Byte))
    return Parsed::Of(row->Key, row->State, 1);
  bool shifted = false;
  if (first < 0x20) {
    const PrintableKey* letter = FindPrintable('a' + first - 1, shifted);
    return Parsed::Of({letter->VirtualKey, letter->ScanCode, first}, Ctrl, 1);
  }
  const PrintableKey* key = FindPrintable(first, shifted);
  return Parsed::Of({key->VirtualKey, key->ScanCode, first}, shifted ? Shift : 0, 1);
}

KeyDecoder::Parsed KeyDecoder::ParseEscape(std::string_view bytes, bool expired) {
  if (bytes.size() == 1) return expired ? Parsed::Of(Escape, 0, 1) : Parsed::More();
  const char next = bytes[1];
  if (next == '[' || next == 'O') return ParseSequence(bytes, expired);
  if (next == '_' || next == 'P') {
    // An answer in a string (kitty graphics, DECRQSS); Alt with the key when it is none.
    Parsed answer = ParseString(bytes, expired);
    if (answer.Kind != Parsed::Key) return answer;
  }
  if (next == Esc) {
    // ESC before a sequence is Alt with that key (rxvt); otherwise each ESC is the Esc key.
    if (bytes.size() == 2 && !expired) return Parsed::More();
    if (bytes.size() == 2 || (bytes[2] != '[' && bytes[2] != 'O')) return Parsed::Of(Escape, 0, 1);
  }
  Parsed key = ParseKey(bytes.substr(1), expired);
  if (key.Kind == Parsed::NeedMore) return key;
  key.Length += 1;
  key.Event.ControlState |= Alt;
  return key;
}

// An APC or DCS string up to its ST, read for the answers it holds and dropped whole. A
// string that does not end within the short wait, or grows too long, is keys after all
// (Alt+_ or Alt+P and what followed): reported as Key so that the caller reads it so.
KeyDecoder::Parsed KeyDecoder::ParseString(std::string_view bytes, bool expired) {
  const size_t end = bytes.find(StringEnd);
  if (end == std::string_view::npos)
    return expired || bytes.size() > MaxAnswerString ? Parsed{Parsed::Key, 0, {}} : Parsed::More();
  const std::string_view body = bytes.substr(2, end - 2);
  if (bytes[1] == '_' && body.starts_with("Gi=31;") && body.substr(6).starts_with("OK"))
    Answers.KittyGraphics = true;
  if (bytes[1] == '_' && body.starts_with("Gi=32;") && body.substr(6).starts_with("OK"))
    Answers.KittyMemory = true;
  // The 24-bit colours asked about come back as they were set, with ';' or ':' between.
  if (bytes[1] == 'P' && body.starts_with("1$r") &&
      (body.find(":1:2:3") != std::string_view::npos ||
       body.find(";1;2;3") != std::string_view::npos))
    Answers.DirectColour = true;
  return Parsed::Skip(end + StringEnd.size());
}

KeyDecoder::Parsed KeyDecoder::ParseSequence(std::string_view bytes, bool expired) {
  const bool ss3 = bytes[1] == 'O';
  const size_t size = bytes.size();
  if (size == 2) {
    if (!expired) return Parsed::More();
    Parsed key = ParseKey(bytes.substr(1), true);  // nothing followed: Alt with '[' or 'O'
    key.Length = 2;
    key.Event.ControlState |= Alt;
    return key;
  }
  if (!ss3 && bytes[2] == '[') {
    if (size == 3) return expired ? Parsed::Skip(3) : Parsed::More();
    auto row = Find(LinuxConsoleKeys, bytes[3], &FinalRow::Final);
    return row ? Parsed::Of(row->Key, 0, 4) : Parsed::Skip(4);
  }
  size_t at = 2;
  while (at < size && bytes[at] >= 0x30 && bytes[at] <= 0x3F) ++at;
  const size_t parametersEnd = at;
  // rxvt's '$' (Shift) ends a sequence, though it is an intermediate byte elsewhere.
  const bool rxvtShift = !ss3 && at < size && bytes[at] == '$' && at > 2;
  while (!rxvtShift && at < size && bytes[at] >= 0x20 && bytes[at] <= 0x2F) ++at;
  if (at == size && size > MaxSequence && !expired) {
    // Too long to hold: drop it now and the rest of it as it comes in.
    Overlong = at > parametersEnd ? OverlongPart::Intermediates : OverlongPart::Parameters;
    OverlongSs3 = ss3;
    return Parsed::Skip(size);
  }
  if (at == size) return expired ? Parsed::Skip(size) : Parsed::More();
  const char final = bytes[at];
  if (!rxvtShift && (final < 0x40 || final > 0x7E)) return Parsed::Skip(at);  // broken off
  if (at >= MaxSequence) return Parsed::Skip(at + 1);  // too long to be a key, however it came
  if (at > parametersEnd) return Parsed::Skip(at + 1);
  return Interpret(bytes.substr(2, parametersEnd - 2), final, ss3, at + 1);
}

KeyDecoder::Parsed KeyDecoder::Interpret(std::string_view parameters, char final, bool ss3,
                                         size_t length) {
  if (!parameters.empty() && parameters[0] >= '<') {
    // The terminal's answers to the queries made at start, not keys.
    if (parameters[0] == '?' && final == 'u') KittyFlagsSeen = true;
    if (parameters[0] == '?' && final == 'c') {
      ++Answers.DeviceAttributesSeen;
      Answers.DeviceAttributes.clear();
      int number = -1;
      for (char c : parameters.substr(1)) {
        if (c >= '0' && c <= '9') number = std::min(std::max(number, 0) * 10 + (c - '0'), 1 << 16);
        if (c == ';') Answers.DeviceAttributes.push_back(number), number = -1;
      }
      if (number >= 0) Answers.DeviceAttributes.push_back(number);
    }
    return Parsed::Skip(length);
  }
  const Parameters numbers(parameters);
  if (final == 't' && !ss3) {
    // The terminal's sizes in pixels: of a cell (6), of its text area (4); never a key.
    const int what = numbers.At(0, 0), height = numbers.At(1, 0), width = numbers.At(2, 0);
    if (what == 6 && height > 0 && width > 0)
      Answers.CellHeight = height, Answers.CellWidth = width;
    if (what == 4 && height > 0 && width > 0)
      Answers.WindowHeight = height, Answers.WindowWidth = width;
    return Parsed::Skip(length);
  }
  // Old SS3 forms carry the modifier as their only parameter (SS3 5 P: Ctrl+F1).
  uint32_t state = ModifierState(ss3 && numbers.At(1, 0) < 0 ? numbers.At(0, 0) : numbers.At(1, 0));
  const int eventType = numbers.At(1, 1) > 0 ? numbers.At(1, 1)
                        : KittyEvents        ? EventPress
                                             : EventRelease;
  const bool keyDown = eventType != EventRelease;
  std::optional<KeyIdentity> key;
  if (final == 'u' && !ss3) {
    key = KittyKey(numbers.At(0, 0), numbers.At(0, 1), state);
  } else if (auto tilde = ss3 ? nullptr : Find(TildeFinals, final, &FinalRow::Final)) {
    const int number = numbers.At(0, 0);
    if (number == PasteStartNumber) InPaste = true;
    if (auto row = Find(TildeKeys, number, &NumberRow::Number)) key = row->Key;
    state |= tilde->State;
  } else if (auto row = Find(ss3 ? LetterKeys(Ss3FinalKeys) : LetterKeys(CsiFinalKeys), final,
                             &FinalRow::Final)) {
    key = row->Key;
    state |= row->State;
  }
  if (!key) return Parsed::Skip(length);
  return Parsed::Of(*key, state, length, keyDown);
}

}  // namespace console
