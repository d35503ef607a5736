// The boot-loader configuration: which splash file and which help files it names.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "main/ProgramState.h"

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

// Where something stands in a configuration file: the file as the medium names it, its
// line and column, both counted from 1 (Line 0: nowhere, the value was never set).
struct ConfigurationPlace {
  std::string File;
  int Line = 0;
  int Column = 0;
};

// A file name that a configuration line gives: where the name stands and the name.
struct NamedFile {
  ConfigurationPlace Place;
  std::string Name;
  bool Found = false;  // for include lines: whether the file was there to read
};

// What a scan found besides the values it binds: for the notice without a display line,
// for --check and for --watch.
struct ConfigurationReport {
  std::string ConfigName;               // the file the scan started from
  std::vector<std::string> FilesRead;   // every configuration file read, in reading order
  NamedFile Display;                    // the display line that won (Place.Line 0: none)
  std::array<NamedFile, HelpFileCount + 1> Help;  // the F-key lines that won, 1..10
  std::vector<NamedFile> Includes;      // every include and menu include line read
  // Labels whose action is "config NAME": the label and the configuration it opens.
  struct OtherConfiguration {
    std::string Label;
    NamedFile Config;
  };
  std::vector<OtherConfiguration> OtherConfigurations;
};

// Reads the configuration file line by line and fills DisplayFile and HelpFiles.
ConfigurationReport ScanConfiguration(const std::string& configName);

}  // namespace vestalo
