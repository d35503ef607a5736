// Turns clears, colour changes and screen bytes into what a terminal is sent. Free of I/O:
// the POSIX console sends Pending() and empties it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "console/DisplayTable.h"
#include "console/FrameLayout.h"

namespace console {

class TerminalWriter {
 public:
  explicit TerminalWriter(DisplayTable table);

  // Blanks the screen in the attribute's colours and homes the cursor. With `framed`,
  // the text that follows is laid out in an 80x25 frame at the top left as on a boot
  // screen, and only the frame is blanked; without, the terminal lays it out itself.
  void Clear(uint16_t attr, bool framed = false);

  // Shows screen bytes in the attribute's colours, each through the display table.
  void Text(std::string_view bytes, uint16_t attr);

  // True while text is laid out in the frame, so leaving must release its scrolling region.
  bool Framed() const { return InFrame; }

  // True once a colour has been sent, so leaving must reset the terminal's colours.
  bool ColoursSent() const { return SentAttr >= 0; }

  // The bytes waiting to be sent to the terminal.
  std::string& Pending() { return Out; }

 private:
  void UseAttr(uint16_t attr);

  DisplayTable Table;
  FrameLayout Layout;
  bool InFrame = false;
  int SentAttr = -1;
  std::string Out;
};

}  // namespace console
