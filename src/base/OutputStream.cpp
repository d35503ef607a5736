#include "base/OutputStream.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "base/InOutError.h"
#include "base/Platform.h"

namespace vestalo {

namespace {

// A file or pipe gets the bytes in blocks of this size; the console gathers on its own.
constexpr std::size_t BufferSize = 128;
char Buffer[BufferSize];
std::size_t Used = 0;
ConsoleWriter Console{nullptr, nullptr};

void Check(int error) {
  if (error != 0) ReportIOFailure(error);
}

void WriteBuffer() {
  const std::size_t count = Used;
  Used = 0;
  Check(platform::WriteStandard(1, Buffer, count));
}

}  // namespace

void SendOutputToConsole(ConsoleWriter console) { Console = console; }

void WriteOutput(std::string_view bytes) {
  if (Console.Write != nullptr) {
    Check(Console.Write(bytes));
    return;
  }
  while (!bytes.empty()) {
    const std::size_t room = BufferSize - Used;
    const std::size_t take = bytes.size() < room ? bytes.size() : room;
    std::memcpy(Buffer + Used, bytes.data(), take);
    Used += take;
    bytes.remove_prefix(take);
    if (Used == BufferSize) WriteBuffer();
  }
}

void WriteOutputLine(std::string_view line) {
  std::string text(line);
  text += "\r\n";
  WriteOutput(text);
}

void WriteReportLine(std::string_view line) {
  std::string text(line);
  text += platform::LineBreak;
  WriteOutput(text);
}

void FlushOutput() {
  if (Console.Flush != nullptr) {
    Check(Console.Flush());
    return;
  }
  if (Used > 0) WriteBuffer();
}

}  // namespace vestalo
