#include "base/CommandLine.h"

namespace vestalo {

namespace {

bool IsSeparator(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

class Scanner {
 public:
  Scanner(std::string_view text, const CharStepper& step) : Text(text), Step(step) {}

  bool AtEnd() const { return Position >= Text.size() || Text[Position] == '\0'; }

  // Skips blanks and pairs of double quotes that stand before an item.
  void SkipToItem() {
    for (;;) {
      while (!AtEnd() && IsSeparator(Text[Position])) Advance();
      if (Position + 1 < Text.size() && Text[Position] == '"' && Text[Position + 1] == '"') {
        Position += 2;
        continue;
      }
      return;
    }
  }

  std::string NextItem() {
    SkipToItem();
    std::string item;
    bool quoted = false;
    while (!AtEnd()) {
      const char c = Text[Position];
      if (c == '"') {
        quoted = !quoted;
        ++Position;
        continue;
      }
      if (!quoted && static_cast<unsigned char>(c) <= 32) break;
      const std::size_t length = CharLength();
      item.append(Text.substr(Position, length));
      Position += length;
    }
    return item;
  }

 private:
  std::size_t CharLength() const {
    const std::size_t length = Step(Text, Position);
    const std::size_t left = Text.size() - Position;
    return length == 0 ? 1 : (length > left ? left : length);
  }

  void Advance() { Position += CharLength(); }

  std::string_view Text;
  const CharStepper& Step;
  std::size_t Position = 0;
};

}  // namespace

std::size_t SingleByteStep(std::string_view, std::size_t) { return 1; }

std::vector<std::string> SplitCommandLine(std::string_view commandLine, const CharStepper& step) {
  Scanner scanner(commandLine, step);
  std::vector<std::string> arguments;
  scanner.NextItem();  // the program's own name
  for (;;) {
    std::string item = scanner.NextItem();
    if (item.empty()) break;
    arguments.push_back(std::move(item));
  }
  return arguments;
}

}  // namespace vestalo
