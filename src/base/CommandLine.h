// Splits a whole command line into arguments the way the program's home platform does.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vestalo {

// The length of the character that starts at `position` (2 for a double-byte character).
using CharStepper = std::function<std::size_t(std::string_view text, std::size_t position)>;

// One byte per character.
std::size_t SingleByteStep(std::string_view text, std::size_t position);

// The arguments of a command line, without the program's own name (its first item).
// Double quotes group blanks into an item and are never part of it; the list ends at the
// first item that comes out empty.
std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          const CharStepper& step = SingleByteStep);

}  // namespace vestalo
