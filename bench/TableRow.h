// The rows of the table that scripts/bench prints: figure, ours, reference, ratio.
#pragma once

#include <cstdio>
#include <string>

namespace vestalo::bench {

// Prints one Markdown table row, ready to paste into the README.
inline void PrintRow(const std::string& figure, const std::string& ours,
                     const std::string& reference, const std::string& ratio) {
  std::printf("| %-44s | %-16s | %-30s | %-6s |\n", figure.c_str(), ours.c_str(), reference.c_str(),
              ratio.c_str());
  std::fflush(stdout);
}

// "1.23x": ours divided by the reference.
inline std::string Ratio(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", value);
  return text;
}

}  // namespace vestalo::bench
