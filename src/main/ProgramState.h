// The program body's values; they live for the whole run.
#pragma once

#include <array>
#include <string>

namespace vestalo {

// Help files bound to F1..F9 and F0, at indexes 1..10; index 0 is unused.
constexpr int HelpFileCount = 10;

inline std::string FirstArgument;
inline std::string ConfigName;
inline std::string DisplayFile;
inline std::array<std::string, HelpFileCount + 1> HelpFiles;
inline std::string SelectedFile;
inline std::string ScreenText;

}  // namespace vestalo
