// The bytes a terminal sends for keys, turned into key events as a PC console reports them.
// Free of I/O: bytes are pushed in and events taken out; the caller reads the terminal and
// owns the short wait that tells a lone Esc from the start of a sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "console/KeyEvent.h"

namespace console {

// What a terminal said about itself in answer to the program's questions.
struct TerminalAnswers {
  int DeviceAttributesSeen = 0;           // answers to CSI c so far
  std::vector<int> DeviceAttributes{};    // the last one's numbers (CSI ? 62 ; 4 c: 62, 4)
  bool KittyGraphics = false;             // APC G i=31 ; OK: the kitty graphics protocol
  bool DirectColour = false;              // DECRQSS gave back the 24-bit colour set before it
  int CellWidth = 0, CellHeight = 0;      // CSI 6 ; height ; width t
  int WindowWidth = 0, WindowHeight = 0;  // CSI 4 ; height ; width t, in pixels
  bool KittyMemory = false;  // APC G i=32 ; OK: kitty read a picture from shared memory
  bool operator==(const TerminalAnswers&) const = default;
};

// What KeyDecoder::Next found at the front of the bytes it holds.
enum class DecodeResult {
  Key,       // an event was taken out
  NeedMore,  // the bytes begin a sequence that is not complete yet
  Empty,     // nothing to decode until more bytes come
};

class KeyDecoder {
 public:
  // Adds bytes read from the terminal.
  void Push(std::string_view bytes);

  // Takes the next key event. `expired` says no more bytes came within the short wait:
  // a held partial sequence is then taken as it is (a lone ESC is the Esc key).
  DecodeResult Next(KeyEvent& event, bool expired = false);

  // Under the kitty keyboard protocol a sequence without an event type is a press; in
  // the legacy encoding every key is reported once, as one release.
  void SetKittyEvents(bool on) { KittyEvents = on; }

  // Bytes held that are not decoded yet.
  size_t HeldBytes() const { return Bytes.size(); }

  // True once the terminal answered the kitty keyboard query (CSI ? flags u).
  bool SawKittyFlags() const { return KittyFlagsSeen; }

  // True once the terminal answered the device attributes query (CSI ? ... c).
  bool SawDeviceAttributes() const { return Answers.DeviceAttributesSeen > 0; }

  // Everything the terminal answered so far.
  const TerminalAnswers& Answered() const { return Answers; }

 private:
  struct Parsed;
  Parsed ParseKey(std::string_view bytes, bool expired);
  Parsed ParseEscape(std::string_view bytes, bool expired);
  Parsed ParseSequence(std::string_view bytes, bool expired);
  Parsed ParseString(std::string_view bytes, bool expired);
  Parsed Interpret(std::string_view parameters, char final, bool ss3, size_t length);
  bool SkipPaste();
  bool SkipOverlongRest();

  std::string Bytes;
  bool KittyEvents = false;
  bool InPaste = false;
  // Where a sequence too long to hold was when it was dropped.
  enum class OverlongPart { None, Parameters, Intermediates };
  OverlongPart Overlong = OverlongPart::None;
  bool OverlongSs3 = false;
  bool KittyFlagsSeen = false;
  TerminalAnswers Answers;
};

}  // namespace console
