// Any command line, stepped through with code pages whose double-byte characters are made
// up from the input (and with a stepper that answers nonsense): splitting must stay inside
// the text, end, and keep every argument to the rules.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/CommandLine.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view line) {
  std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(line.size()), line.data());
  std::abort();
}

// True when `part` can be taken from `text` by leaving bytes out, starting at `from`.
bool IsSubsequence(std::string_view part, std::string_view text, std::size_t& from) {
  for (char c : part) {
    while (from < text.size() && text[from] != c) ++from;
    if (from == text.size()) return false;
    ++from;
  }
  return true;
}

void CheckArguments(const std::vector<std::string>& arguments, std::string_view line,
                    bool singleByte) {
  std::size_t from = 0;
  for (const auto& argument : arguments) {
    if (argument.empty()) Fail("empty argument", line);
    // A double-byte character may hide a quote or a NUL in its second byte; a single byte may not.
    if (singleByte && argument.find('\0') != std::string::npos)
      Fail("argument past the end of the line", line);
    if (singleByte && argument.find('"') != std::string::npos)
      Fail("double quote inside an argument", line);
    if (!IsSubsequence(argument, line, from))
      Fail("argument not taken from the line in order", line);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // Byte 0 picks the stepper; bytes 1-2 are the range of lead bytes of a double-byte code page.
  const uint8_t mode = data[0] % 3;
  const uint8_t lowLead = data[1], highLead = data[2];
  const std::string_view line(reinterpret_cast<const char*>(data + 3), size - 3);

  const vestalo::CharStepper doubleByte = [=](std::string_view text,
                                              std::size_t at) -> std::size_t {
    const auto byte = static_cast<unsigned char>(text[at]);
    return byte >= lowLead && byte <= highLead ? 2 : 1;
  };
  // Any answer at all, 0 and lengths past the end included.
  const vestalo::CharStepper wild = [](std::string_view text, std::size_t at) -> std::size_t {
    static constexpr std::size_t Answers[] = {
        0, 1, 2, 3, 7, 1u << 20, static_cast<std::size_t>(-1)};
    return Answers[static_cast<unsigned char>(text[at]) % 7];
  };

  switch (mode) {
    case 0: CheckArguments(vestalo::SplitCommandLine(line), line, true); break;
    case 1: CheckArguments(vestalo::SplitCommandLine(line, doubleByte), line, false); break;
    default: CheckArguments(vestalo::SplitCommandLine(line, wild), line, false); break;
  }
  return 0;
}
