// Screen files for the benchmarks, generated the same way on every run so that figures
// taken on different days compare.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vestalo::bench {

// The text that closes every generated screen: the reader knows the screen is complete
// once it has seen it.
constexpr std::string_view EndMark = "<<end of screen>>";

// A typical boot splash of about 2 KB: a double-line box, a title and a few colour changes.
std::string SplashScreen();

// A screen of exactly `size` bytes dense with colour codes and box drawing, CR LF lines
// of 79 columns, closed by EndMark.
std::string DenseScreen(std::size_t size);

// Writes bytes to a file; throws std::runtime_error when that fails.
void WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace vestalo::bench
