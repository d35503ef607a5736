#include "main/LineSplitter.h"

#include "main/FileAccess.h"

namespace vestalo {

void LineSplitter::EndLine() {
  Handler(Line);
  Line.clear();
  LineStarted = false;
}

bool LineSplitter::Push(std::string_view bytes) {
  for (char c : bytes) {
    if (Ended) return false;
    if (c == EndOfFileChar) {
      Finish();
      return false;
    }
    LineStarted = true;
    if (c == '\n') EndLine();
    else if (c != '\r') Line += c;
  }
  return !Ended;
}

void LineSplitter::Finish() {
  if (Ended) return;
  if (LineStarted) EndLine();
  Ended = true;
}

}  // namespace vestalo
