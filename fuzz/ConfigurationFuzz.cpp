// Any configuration file, fed to the line splitter in pieces of any size: the lines must
// not depend on where the pieces break, must match a plain model of the line rules, and
// every line must parse into a binding the menu can use.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/Configuration.h"
#include "config/LineSplitter.h"

namespace {

using Lines = std::vector<std::string>;

[[noreturn]] void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "%s: [%.*s]\n", what,
               static_cast<int>(detail.size() > 200 ? 200 : detail.size()), detail.data());
  std::abort();
}

// The line rules, stated plainly: the text ends at the first ^Z; lines end at line feeds;
// carriage returns never belong to a line; a last line without a line feed still counts.
Lines ModelLines(std::string_view text) {
  text = text.substr(0, text.find('\x1a'));
  Lines lines;
  std::string line;
  bool started = false;
  for (char c : text) {
    started = true;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      started = false;
    } else if (c != '\r') {
      line += c;
    }
  }
  if (started) lines.push_back(line);
  return lines;
}

// The lines when the text arrives in pieces whose sizes come from `sizes`, round and round.
Lines SplitInPieces(std::string_view text, std::string_view sizes) {
  Lines lines;
  vestalo::LineSplitter splitter([&](const std::string& line) { lines.push_back(line); });
  std::size_t turn = 0;
  bool open = true;
  while (open && !text.empty()) {
    std::size_t piece =
        sizes.empty() ? text.size() : static_cast<unsigned char>(sizes[turn++ % sizes.size()]) % 17;
    // An empty piece is legal and must change nothing; the byte after it goes on its own.
    if (piece == 0) open = splitter.Push({});
    piece = piece == 0 ? 1 : piece > text.size() ? text.size() : piece;
    if (open) open = splitter.Push(text.substr(0, piece));
    text.remove_prefix(piece);
  }
  splitter.Finish();
  splitter.Finish();  // a second end changes nothing either
  return lines;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

void CheckBinding(const std::string& line) {
  const vestalo::ConfigurationBinding binding = vestalo::ParseConfigurationLine(line);
  if (binding.Index < -1 || binding.Index > 10) Fail("binding index out of range", line);
  if (binding.Index == -1) {
    if (!binding.Value.empty()) Fail("value without a binding", line);
    return;
  }
  const std::string& value = binding.Value;
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back())))
    Fail("value not trimmed", line);
  if (line.find(value) == std::string::npos) Fail("value not taken from the line", line);
  if (vestalo::TrimBlanks(value) != value) Fail("trimming is not stable", line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first bytes (up to the first 0xFF) set the piece sizes; the rest is the file.
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t split = input.find('\xff');
  if (split == std::string_view::npos || split > 16) split = 0;
  const std::string_view sizes = input.substr(0, split);
  const std::string_view text = input.substr(split == 0 ? 0 : split + 1);

  const Lines whole = SplitInPieces(text, {});
  if (SplitInPieces(text, sizes) != whole) Fail("lines depend on how the file was read", text);
  if (ModelLines(text) != whole) Fail("lines differ from the line rules", text);
  for (const auto& line : whole) CheckBinding(line);
  return 0;
}
