#include "console/TerminalWriter.h"

#include <utility>

#include "console/Sgr.h"

namespace console {

TerminalWriter::TerminalWriter(DisplayTable table) : Table(std::move(table)) {}

void TerminalWriter::UseAttr(uint16_t attr) {
  // Only the colour bits reach the terminal; a sequence goes out only when they change.
  const int colours = attr & 0xFF;
  if (colours == SentAttr) return;
  const std::string sequence = SgrFor(static_cast<uint16_t>(colours));
  Out += sequence;
  Layout.SetColours(sequence);
  SentAttr = colours;
}

void TerminalWriter::Clear(uint16_t attr, bool framed) {
  UseAttr(attr);
  // The region is set again at every clear: a stop and resume of the program drops it.
  if (framed) Out += FrameLayout::ScrollRegion;
  else if (InFrame) Out += "\x1b[r";
  InFrame = framed;
  Layout.Home();
  if (framed) FrameLayout::Clear(Out);
  else Out += "\x1b[H\x1b[2J";
}

void TerminalWriter::Text(std::string_view bytes, uint16_t attr) {
  if (bytes.empty()) return;
  UseAttr(attr);
  if (InFrame) {
    for (char c : bytes)
      Layout.Put(static_cast<unsigned char>(c), Table[static_cast<unsigned char>(c)], Out);
    return;
  }
  for (char c : bytes) Out += Table[static_cast<unsigned char>(c)];
}

}  // namespace console
