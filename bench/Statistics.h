// Figures from repeated timings, as the table shows them: milliseconds, medians, percentiles.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "PtyRun.h"

namespace vestalo::bench {

// Milliseconds, so the figures read as a person would time them.
inline double Milliseconds(Clock::duration took) {
  return std::chrono::duration<double, std::milli>(took).count();
}

// The value below which `fraction` of the samples lie (nearest rank).
inline double Percentile(std::vector<double> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  size_t rank = static_cast<size_t>(fraction * static_cast<double>(samples.size()) + 0.999999);
  rank = std::clamp<size_t>(rank, 1, samples.size());
  return samples[rank - 1];
}

inline double Median(const std::vector<double>& samples) { return Percentile(samples, 0.5); }

inline std::string Format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// The last bytes of the program's output, readable in a message.
inline std::string Tail(const std::string& out) {
  std::string shown;
  for (char c : out.substr(out.size() > 120 ? out.size() - 120 : 0)) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) shown += c;
    else
      shown +=
          "\\x" + std::string(1, "0123456789abcdef"[(c >> 4) & 15]) + "0123456789abcdef"[c & 15];
  }
  return shown + " (" + std::to_string(out.size()) + " bytes)";
}

}  // namespace vestalo::bench
