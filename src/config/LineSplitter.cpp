#include "config/LineSplitter.h"

#include <algorithm>

#include "base/TextEnd.h"

namespace vestalo {

void LineSplitter::EndLine() {
  Handler(Line);
  Line.clear();
  LineStarted = false;
}

bool LineSplitter::Push(std::string_view bytes) {
  // Whole runs of ordinary bytes at a time: a configuration may be one line of 64 MiB.
  constexpr char Stops[] = {'\n', '\r', EndOfFileChar};
  while (!bytes.empty() && !Ended) {
    const std::size_t stop =
        std::min(bytes.find_first_of(std::string_view(Stops, sizeof Stops)), bytes.size());
    Line.append(bytes.substr(0, stop));
    LineStarted = LineStarted || stop > 0;
    if (stop == bytes.size()) break;
    const char c = bytes[stop];
    bytes.remove_prefix(stop + 1);
    if (c == EndOfFileChar) Finish();
    else LineStarted = true;
    if (c == '\n') EndLine();
  }
  return !Ended;
}

void LineSplitter::Finish() {
  if (Ended) return;
  if (LineStarted) EndLine();
  Ended = true;
}

}  // namespace vestalo
