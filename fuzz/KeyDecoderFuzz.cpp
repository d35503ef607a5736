// Any bytes from a terminal, arriving in pieces of any size: the decoder must take every
// key out in bounded time, hold nothing once the silence after the last byte has passed,
// and decode the same keys wherever the reads happened to break the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <tuple>
#include <vector>

#include "console/KeyDecoder.h"

namespace {

using Events = std::vector<std::tuple<bool, uint16_t, uint16_t, uint8_t, uint32_t>>;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// Takes every key out; `expired` as after the short wait with no further byte.
void Drain(console::KeyDecoder& decoder, Events& events, bool expired, std::size_t limit) {
  console::KeyEvent event;
  for (std::size_t taken = 0;; ++taken) {
    if (taken > limit) Fail("more keys than bytes");
    const console::DecodeResult result = decoder.Next(event, expired);
    if (result != console::DecodeResult::Key) {
      if (expired && result == console::DecodeResult::NeedMore)
        Fail("still waiting after the wait");
      return;
    }
    events.emplace_back(event.KeyDown, event.VirtualKey, event.ScanCode, event.Character,
                        event.ControlState);
  }
}

Events Decode(std::string_view bytes, std::string_view sizes, bool kitty) {
  console::KeyDecoder decoder;
  decoder.SetKittyEvents(kitty);
  Events events;
  const std::size_t limit = 2 * bytes.size() + 2;
  std::size_t turn = 0;
  while (!bytes.empty()) {
    std::size_t piece = sizes.empty()
                            ? bytes.size()
                            : 1 + static_cast<unsigned char>(sizes[turn++ % sizes.size()]) % 16;
    if (piece > bytes.size()) piece = bytes.size();
    decoder.Push(bytes.substr(0, piece));
    bytes.remove_prefix(piece);
    Drain(decoder, events, false, limit);
  }
  Drain(decoder, events, true, limit);
  return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Byte 0: the kitty protocol on or off; then up to 8 piece sizes ended by 0xFF; then the bytes.
  if (size < 1) return 0;
  const bool kitty = (data[0] & 1) != 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t split = input.find('\xff');
  if (split == std::string_view::npos || split > 8) split = 0;
  const std::string_view sizes = input.substr(0, split);
  const std::string_view bytes = input.substr(split == 0 ? 0 : split + 1);

  const Events whole = Decode(bytes, {}, kitty);
  if (!sizes.empty() && Decode(bytes, sizes, kitty) != whole)
    Fail("keys depend on how the reads broke the bytes");
  return 0;
}
