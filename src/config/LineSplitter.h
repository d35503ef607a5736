// Splits a configuration file's bytes into lines, fed in pieces of any size.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vestalo {

// A line ends at a line feed; a carriage return right before it belongs to the line break,
// any other carriage return is left out of the line. A ^Z ends the line and the file.
class LineSplitter {
 public:
  using LineHandler = std::function<void(const std::string& line)>;

  explicit LineSplitter(LineHandler handler) : Handler(std::move(handler)) {}

  // Takes the next bytes of the file; returns false once a ^Z has ended it.
  bool Push(std::string_view bytes);

  // The file's physical end: a last line without a line break is a line like any other.
  void Finish();

 private:
  void EndLine();

  LineHandler Handler;
  std::string Line;
  bool LineStarted = false;
  bool Ended = false;
};

}  // namespace vestalo
