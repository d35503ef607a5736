// The boot-loader configuration: which splash file and which help files it names.
#pragma once

#include <string>
#include <string_view>

namespace vestalo {

// What one configuration line binds: the index of the value it sets, and the value.
// Index 0 is the splash file ("display"), 1..10 the help files of F1..F9 and F0/F10.
struct ConfigurationBinding {
  int Index = -1;  // -1: the line binds nothing
  std::string Value;
};

constexpr int DisplayIndex = 0;

// Reads one line as the boot loader reads its keywords: the first word, in any letter case.
ConfigurationBinding ParseConfigurationLine(std::string_view line);

// The text without its leading and trailing characters at or below the space.
std::string TrimBlanks(std::string_view text);

// Reads the configuration file line by line and fills DisplayFile and HelpFiles.
void ScanConfiguration(const std::string& configName);

}  // namespace vestalo
