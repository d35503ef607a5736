#include "console/KeyDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace console {

bool operator==(const KeyEvent& a, const KeyEvent& b) {
  return std::tie(a.KeyDown, a.VirtualKey, a.ScanCode, a.Character, a.ControlState) ==
         std::tie(b.KeyDown, b.VirtualKey, b.ScanCode, b.Character, b.ControlState);
}

void PrintTo(const KeyEvent& e, std::ostream* out) {
  *out << (e.KeyDown ? "down" : "up") << " vk=" << e.VirtualKey << " scan=0x" << std::hex
       << e.ScanCode << " ch=0x" << int(e.Character) << " state=0x" << e.ControlState << std::dec;
}

namespace {

#define ESC "\x1b"
#define CSI "\x1b["
#define SS3 "\x1bO"

constexpr uint32_t Shift = 0x10, Ctrl = 0x08, Alt = 0x02, NumLock = 0x20, CapsLock = 0x80;

// A key as a legacy terminal reports it: once, released.
KeyEvent Key(uint16_t vk, uint16_t scan, uint8_t ch = 0, uint32_t state = 0) {
  return {false, vk, scan, ch, state};
}
KeyEvent Press(KeyEvent event) {
  event.KeyDown = true;
  return event;
}

const KeyEvent Up = Key(38, 0x48), Down = Key(40, 0x50), Right = Key(39, 0x4D),
               Left = Key(37, 0x4B);
const KeyEvent Home = Key(36, 0x47), End = Key(35, 0x4F), PageUp = Key(33, 0x49),
               PageDown = Key(34, 0x51);
const KeyEvent Insert = Key(45, 0x52), Delete = Key(46, 0x53), Clear = Key(12, 0x4C);
const KeyEvent F1 = Key(112, 0x3B), F2 = Key(113, 0x3C), F3 = Key(114, 0x3D), F4 = Key(115, 0x3E);
const KeyEvent F5 = Key(116, 0x3F), F6 = Key(117, 0x40), F7 = Key(118, 0x41), F8 = Key(119, 0x42);
const KeyEvent F9 = Key(120, 0x43), F10 = Key(121, 0x44), F11 = Key(122, 0x57),
               F12 = Key(123, 0x58);
const KeyEvent Tab = Key(9, 0x0F, 9), Enter = Key(13, 0x1C, 13), Backspace = Key(8, 0x0E, 8),
               Esc = Key(27, 0x01, 27);

KeyEvent With(KeyEvent event, uint32_t state) {
  event.ControlState |= state;
  return event;
}

// Decodes every byte, waiting out each partial sequence as the keyboard reader does.
std::vector<KeyEvent> DecodeWhole(KeyDecoder& decoder, const std::string& bytes) {
  decoder.Push(bytes);
  std::vector<KeyEvent> events;
  KeyEvent event;
  for (;;) {
    DecodeResult result = decoder.Next(event);
    if (result == DecodeResult::NeedMore) result = decoder.Next(event, true);
    if (result != DecodeResult::Key) return events;
    events.push_back(event);
  }
}

std::vector<KeyEvent> Decode(const std::string& bytes, bool kitty = false) {
  KeyDecoder decoder;
  decoder.SetKittyEvents(kitty);
  return DecodeWhole(decoder, bytes);
}

std::vector<KeyEvent> DecodeByteByByte(const std::string& bytes, bool kitty = false) {
  KeyDecoder decoder;
  decoder.SetKittyEvents(kitty);
  std::vector<KeyEvent> events;
  KeyEvent event;
  for (char byte : bytes) {
    decoder.Push(std::string(1, byte));
    while (decoder.Next(event) == DecodeResult::Key) events.push_back(event);
  }
  for (const auto& rest : DecodeWhole(decoder, "")) events.push_back(rest);
  return events;
}

struct Case {
  std::string Bytes;
  std::vector<KeyEvent> Expected;
};

const std::vector<Case> LegacyCases = {
    // Printable characters with the Shift state of the key that gives them.
    {"aA5!",
     {Key('A', 0x1E, 'a'), Key('A', 0x1E, 'A', Shift), Key('5', 0x06, '5'),
      Key('1', 0x02, '!', Shift)}},
    {"{= ~/",
     {Key(0xDB, 0x1A, '{', Shift), Key(0xBB, 0x0D, '='), Key(' ', 0x39, ' '),
      Key(0xC0, 0x29, '~', Shift), Key(0xBF, 0x35, '/')}},
    // Control bytes: Ctrl with the letter, but Tab, Enter and Backspace are keys of their own.
    {"\x04\x01\x1a",
     {Key('D', 0x20, 4, Ctrl), Key('A', 0x1E, 1, Ctrl), Key('Z', 0x2C, 0x1A, Ctrl)}},
    {"\t\r\n\x7f\x08", {Tab, Enter, Enter, Backspace, Backspace}},
    {std::string("\0\x1c", 2), {Key(' ', 0x39, ' ', Ctrl), Key(0xDC, 0x2B, 0x1C, Ctrl)}},
    // Esc alone, and ESC before a key: Alt with it.
    {ESC, {Esc}},
    {ESC ESC, {Esc, Esc}},
    {ESC CSI "A", {With(Up, Alt)}},
    {ESC "[", {Key(0xDB, 0x1A, '[', Alt)}},
    {ESC "x", {With(Key('X', 0x2D, 'x'), Alt)}},
    {ESC "X", {Key('X', 0x2D, 'X', Shift | Alt)}},
    {ESC "=", {With(Key(0xBB, 0x0D, '='), Alt)}},
    {ESC "\x04", {Key('D', 0x20, 4, Ctrl | Alt)}},
    {ESC "O", {Key('O', 0x18, 'O', Shift | Alt)}},
    // Cursor and editing keys: xterm, VT220 and rxvt forms.
    {CSI "A" CSI "B" CSI "C" CSI "D", {Up, Down, Right, Left}},
    {SS3 "A" SS3 "B" SS3 "C" SS3 "D", {Up, Down, Right, Left}},
    {CSI "H" CSI "F" SS3 "H" SS3 "F", {Home, End, Home, End}},
    {CSI "1~" CSI "4~" CSI "7~" CSI "8~", {Home, End, Home, End}},
    {CSI "2~" CSI "3~" CSI "5~" CSI "6~", {Insert, Delete, PageUp, PageDown}},
    {CSI "E" SS3 "E", {Clear, Clear}},
    // Function keys: SS3, the older CSI numbers, the Linux console.
    {SS3 "P" SS3 "Q" SS3 "R" SS3 "S", {F1, F2, F3, F4}},
    {CSI "P" CSI "S", {F1, F4}},
    {CSI "23~" CSI "24~", {F11, F12}},
    {CSI "11~" CSI "12~" CSI "13~" CSI "14~" CSI "15~", {F1, F2, F3, F4, F5}},
    {CSI "17~" CSI "18~" CSI "19~" CSI "20~" CSI "21~", {F6, F7, F8, F9, F10}},
    {CSI "[A" CSI "[B" CSI "[C" CSI "[D" CSI "[E", {F1, F2, F3, F4, F5}},
    // The xterm modifier parameter, on every form.
    {CSI "1;5D", {With(Left, Ctrl)}},
    {CSI "1;5H", {With(Home, Ctrl)}},
    {CSI "1;2P", {With(F1, Shift)}},
    {CSI "1;3A", {With(Up, Alt)}},
    {CSI "15;2~", {With(F5, Shift)}},
    {CSI "3;7~", {With(Delete, Ctrl | Alt)}},
    {CSI "24;5~", {With(F12, Ctrl)}},
    {CSI "23;3~", {With(F11, Alt)}},
    {CSI "1;6Q", {With(F2, Ctrl | Shift)}},
    {SS3 "5P", {With(F1, Ctrl)}},
    {CSI "Z", {With(Tab, Shift)}},
    // rxvt's modifiers.
    {CSI "2$" CSI "11^" CSI "3@",
     {With(Insert, Shift), With(F1, Ctrl), With(Delete, Ctrl | Shift)}},
    {CSI "a" SS3 "d", {With(Up, Shift), With(Left, Ctrl)}},
    // The keypad in application mode.
    {SS3 "p" SS3 "w" SS3 "M", {Key(96, 0x52, '0'), Key(103, 0x47, '7'), Enter}},
    // Characters beyond ASCII: the code page 437 byte, or nothing; not UTF-8: Latin-1.
    {"\xc3\xa9\xc3\x89\xc3\x87", {Key(0, 0, 0x82), Key(0, 0, 0x90, Shift), Key(0, 0, 0x80, Shift)}},
    {"\xc3\xb1\xe2\x94\x80\xe2\x82\xac"
     "a",
     {Key(0, 0, 0xA4), Key(0, 0, 0xC4), Key('A', 0x1E, 'a')}},  // no euro sign
    {"\xe9"
     "a\xa3\xfc",
     {Key(0, 0, 0x82), Key('A', 0x1E, 'a'), Key(0, 0, 0x9C), Key(0, 0, 0x81)}},
    {"\xc3", {}},
    // Complete sequences that are no key are consumed whole; another byte breaks one off.
    {CSI "99~a", {Key('A', 0x1E, 'a')}},
    {CSI "1;5Xb", {Key('B', 0x30, 'b')}},
    {CSI "1;5", {}},
    {CSI "?1;2c" CSI "?0u" CSI ">1;2c", {}},  // the terminal's answers
    // Answers about pictures, in strings and CSI t, among keys; a string that never ends is keys.
    {"a" ESC "_Gi=31;OK" ESC "\\" ESC "P1$r0;48:2::1:2:3m" ESC "\\" CSI "6;19;8t"
     "b",
     {Key('A', 0x1E, 'a'), Key('B', 0x30, 'b')}},
    {ESC "Px", {Key('P', 0x19, 'P', Shift | Alt), Key('X', 0x2D, 'x')}},
    {CSI "1 qc" SS3 "zd", {Key('C', 0x2E, 'c'), Key('D', 0x20, 'd')}},
    {CSI "12"
         "\x04",
     {Key('D', 0x20, 4, Ctrl)}},
    // Pasted text is dropped.
    {CSI "200~hello x1" CSI "201~2", {Key('2', 0x03, '2')}},
    {CSI "201~3", {Key('3', 0x04, '3')}},
    // A terminal's own CSI u form without event types: one key.
    {CSI "97;5u", {Key('A', 0x1E, 1, Ctrl)}},
};

// Whole, and one byte at a time: a partial sequence waits, it is not cut short.
TEST(KeyDecoder, LegacyBytesGiveOneReleasePerKey) {
  for (const auto& c : LegacyCases) {
    EXPECT_EQ(Decode(c.Bytes), c.Expected) << testing::PrintToString(c.Bytes);
    EXPECT_EQ(DecodeByteByByte(c.Bytes), c.Expected) << testing::PrintToString(c.Bytes);
  }
}

TEST(KeyDecoder, AnEndlessSequenceIsThrownAwayUpToItsEnd) {
  KeyDecoder decoder;
  KeyEvent event;
  decoder.Push(CSI + std::string(100, '1'));
  EXPECT_EQ(decoder.Next(event), DecodeResult::Empty);
  // The rest of the sequence arrives in a later read: its digits are no keys.
  decoder.Push("2;3");
  EXPECT_EQ(decoder.Next(event), DecodeResult::Empty);
  decoder.Push("4~b");
  ASSERT_EQ(decoder.Next(event), DecodeResult::Key);
  EXPECT_EQ(event, Key('B', 0x30, 'b'));
  // Broken off by another byte, the sequence ends there and that byte counts.
  decoder.Push(CSI + std::string(100, '1'));
  EXPECT_EQ(decoder.Next(event), DecodeResult::Empty);
  decoder.Push("\x04");
  ASSERT_EQ(decoder.Next(event), DecodeResult::Key);
  EXPECT_EQ(event, Key('D', 0x20, 4, Ctrl));
}

TEST(KeyDecoder, NotesTheTerminalsAnswers) {
  KeyDecoder attributes, kitty;
  EXPECT_TRUE(DecodeWhole(attributes, CSI "?62;22c").empty());
  DecodeWhole(kitty, CSI "?0u");
  EXPECT_TRUE(attributes.SawDeviceAttributes() && !attributes.SawKittyFlags());
  EXPECT_TRUE(kitty.SawKittyFlags() && !kitty.SawDeviceAttributes());
}

// What each answer tells, written by hand; one question's answer a row.
struct AnswerRow {
  std::string Bytes;
  TerminalAnswers Expected;
};
const AnswerRow AnswerRows[] = {
    {CSI "?62;4;22c", {.DeviceAttributesSeen = 1, .DeviceAttributes = {62, 4, 22}}},
    {CSI "?6c" CSI "?63;1;4c", {.DeviceAttributesSeen = 2, .DeviceAttributes = {63, 1, 4}}},
    {ESC "_Gi=31;OK" ESC "\\" CSI "?62;c",
     {.DeviceAttributesSeen = 1, .DeviceAttributes = {62}, .KittyGraphics = true}},
    {ESC "_Gi=31;ENOENT:no such file" ESC "\\", {}},
    {ESC "_Gi=32;OK" ESC "\\", {.KittyMemory = true}},
    {ESC "_Gi=32;EBADF:Failed to open shared memory" ESC "\\", {}},
    {ESC "_Gi=7;OK" ESC "\\", {}},  // another command's answer
    {ESC "P1$r0;38:2::1:2:3;48:2::1:2:3m" ESC "\\", {.DirectColour = true}},
    {ESC "P1$r38;2;1;2;3m" ESC "\\", {.DirectColour = true}},
    {ESC "P1$r0;38;5;16;48;5;16m" ESC "\\", {}},  // brought down to 256 colours
    {ESC "P0$r" ESC "\\", {}},                    // not understood
    {CSI "6;19;8t", {.CellWidth = 8, .CellHeight = 19}},
    {CSI "4;551;800t", {.WindowWidth = 800, .WindowHeight = 551}},
};

TEST(KeyDecoder, TakesTheAnswersAboutPicturesOutOfTheKeys) {
  for (const auto& row : AnswerRows) {
    KeyDecoder decoder;
    EXPECT_TRUE(DecodeWhole(decoder, row.Bytes).empty()) << testing::PrintToString(row.Bytes);
    EXPECT_EQ(decoder.Answered(), row.Expected) << testing::PrintToString(row.Bytes);
  }
}

const std::vector<Case> KittyCases = {
    {CSI "97u" CSI "97;1:2u" CSI "97;1:3u",
     {Press(Key('A', 0x1E, 'a')), Press(Key('A', 0x1E, 'a')), Key('A', 0x1E, 'a')}},
    {CSI "49u" CSI "49;1:3u", {Press(Key('1', 0x02, '1')), Key('1', 0x02, '1')}},
    {CSI "49:33;2:3u", {Key('1', 0x02, '!', Shift)}},
    {CSI "97:65;2:3u", {Key('A', 0x1E, 'A', Shift)}},
    {CSI "97;65:3u", {Key('A', 0x1E, 'A', CapsLock)}},
    {CSI "100;5:3u", {Key('D', 0x20, 4, Ctrl)}},
    {CSI "99;5u", {Press(Key('C', 0x2E, 3, Ctrl))}},
    {CSI "120;3:3u", {Key('X', 0x2D, 'x', Alt)}},
    {CSI "61;3:3u", {Key(0xBB, 0x0D, '=', Alt)}},
    {CSI "233;1:3u", {Key(0, 0, 0x82)}},
    {CSI "8364;1:3u" CSI "57444u", {}},  // no byte for the euro sign; Super is no key here
    {CSI "27u" CSI "27;1:3u", {Press(Esc), Esc}},
    {CSI "9;2:3u", {With(Tab, Shift)}},
    {CSI "13;1:3u" CSI "9;1:3u" CSI "127;1:3u", {Enter, Tab, Backspace}},
    // Modifier and lock keys carry the virtual keys the translation skips.
    {CSI "57441;2u" CSI "57441;1:3u", {Press(Key(16, 0x2A, 0, Shift)), Key(16, 0x2A)}},
    {CSI "57442;5u" CSI "57443;3u" CSI "57447;2u" CSI "57448;5u" CSI "57449;3u",
     {Press(Key(17, 0x1D, 0, Ctrl)), Press(Key(18, 0x38, 0, Alt)), Press(Key(16, 0x36, 0, Shift)),
      Press(Key(17, 0x1D, 0, Ctrl)), Press(Key(18, 0x38, 0, Alt))}},
    {CSI "57358;65:3u" CSI "57360;129:3u",
     {Key(20, 0x3A, 0, CapsLock), Key(144, 0x45, 0, NumLock)}},
    // The keypad: digits with Num Lock, cursor keys without.
    {CSI "57400;129:3u" CSI "57400;1:3u" CSI "57414;1:3u",
     {Key(97, 0x4F, '1', NumLock), End, Enter}},
    // Functional keys keep their legacy forms, with the event type added.
    {CSI "A" CSI "1;1:2A" CSI "1;1:3A", {Press(Up), Press(Up), Up}},
    {CSI "1;1:3P" CSI "11;1:3~" CSI "15;1:3~" CSI "24;5:3~", {F1, F1, F5, With(F12, Ctrl)}},
    {CSI "1;2:3P", {With(F1, Shift)}},
    {CSI "5;5:3~", {With(PageUp, Ctrl)}},
    // Text that is not a key event (typed through an input method) is one release.
    {"x", {Key('X', 0x2D, 'x')}},
};

TEST(KeyDecoder, KittyEventsArePressesRepeatsAndReleases) {
  for (const auto& c : KittyCases) {
    EXPECT_EQ(Decode(c.Bytes, true), c.Expected) << testing::PrintToString(c.Bytes);
    EXPECT_EQ(DecodeByteByByte(c.Bytes, true), c.Expected) << testing::PrintToString(c.Bytes);
  }
}

}  // namespace
}  // namespace console
