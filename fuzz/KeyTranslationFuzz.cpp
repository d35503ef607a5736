// Any stream of key events, as a console or the terminal decoder could deliver them: the
// translation must never announce an extended code of 0 (which would read as "another one
// waits" for ever), must give the announced code without reading, and must end when the
// events end.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "console/KeyEvent.h"
#include "console/KeyTranslation.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// Each event is 8 bytes: flags, virtual key, scan code (2 each), character, control state.
constexpr std::size_t EventSize = 8;

console::KeyEvent EventAt(const uint8_t* bytes) {
  console::KeyEvent event;
  event.KeyDown = (bytes[0] & 1) != 0;
  event.VirtualKey = static_cast<uint16_t>(bytes[1] | bytes[2] << 8);
  event.ScanCode = static_cast<uint16_t>(bytes[3] | bytes[4] << 8);
  event.Character = bytes[5];
  event.ControlState = static_cast<uint32_t>(bytes[6] | (bytes[7] & 0x01) << 8);
  return event;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::size_t count = size / EventSize;
  std::size_t next = 0;
  std::size_t reads = 0;
  auto read = [&](console::KeyEvent& event) {
    ++reads;
    if (next == count) return false;
    event = EventAt(data + EventSize * next++);
    return true;
  };

  console::KeyTranslation translation;
  bool announced = false;
  for (std::size_t calls = 0;; ++calls) {
    if (calls > 2 * count + 2) Fail("more key codes than events");
    const std::size_t readsBefore = reads;
    const std::optional<uint8_t> code = translation.NextKey(read);
    if (announced) {
      if (!code) Fail("announced extended code lost");
      if (*code == 0) Fail("extended code of 0");
      if (reads != readsBefore) Fail("read an event while an extended code was waiting");
      announced = false;
      continue;
    }
    if (!code) break;
    announced = *code == 0;
  }
  if (next != count) Fail("ended before the events did");

  for (int ch = 0; ch < 256; ++ch) {
    const uint8_t upper = console::UpperCase437(static_cast<uint8_t>(ch));
    if (console::UpperCase437(upper) != upper) Fail("upper case of an upper-case letter changed");
  }
  return 0;
}
