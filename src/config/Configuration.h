// The boot-loader configuration: which splash file and which help files it names.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "media/Medium.h"

namespace vestalo {

// Help files bound to F1..F9 and F10 (or F0), at indexes 1..10; index 0 is unused.
constexpr int HelpFileCount = 10;

// What one configuration line binds: the index of the value it sets, and the value.
// Index 0 is the splash file ("display"), 1..10 the help files of F1..F9 and F0/F10.
struct ConfigurationBinding {
  int Index = -1;  // -1: the line binds nothing
  std::string Value;
};

constexpr int DisplayIndex = 0;

// Reads one line as the boot loader reads its keywords: the first word, in any letter case;
// the value is the next word (what follows it is not the file's name).
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

// Why an include line whose file is there was not followed. The boot loader follows every
// one and stops responding at the 102nd level of nesting, which a loop reaches too.
enum class IncludeStop {
  None,
  Loop,        // the file is already being read: it includes itself, directly or not
  TooDeep,     // it would be read at a deeper level than MaxIncludeDepth
  TooMany,     // the scan has already followed MaxIncludesFollowed include lines
  Unreadable,  // it could not be read (a scan that goes on past such files: --check)
};

// A file name that a configuration line gives: where the name stands and the name.
struct NamedFile {
  ConfigurationPlace Place;
  std::string Name;
  bool Found = false;                       // whether the file was there to read (FileIsPresent)
  IncludeStop Stopped = IncludeStop::None;  // for include lines
  std::string Failure{};                    // Unreadable: the failure report's message
};

// The deepest nesting of include lines followed: ISOLINUX 6.04 reads 101 levels of included
// files below the configuration it starts from, and hangs at the 102nd.
constexpr int MaxIncludeDepth = 101;

// Include lines followed in one scan, so that a configuration that includes the same file
// again and again cannot keep the program reading; real media follow a few dozen.
constexpr std::size_t MaxIncludesFollowed = 4096;

// Include lines and `config` labels the report keeps at most, in reading order.
constexpr std::size_t MaxReportedLines = 16384;

// What a scan found besides the values it binds: for the notice without a display line,
// for --check and for --watch.
struct ConfigurationReport {
  std::string ConfigName;              // the file the scan started from
  std::vector<std::string> FilesRead;  // every configuration file read, once, in reading order
  NamedFile Display;                   // the display line that won (Place.Line 0: none)
  std::array<NamedFile, HelpFileCount + 1> Help;  // the F-key lines that won, 1..10
  std::vector<NamedFile> Includes;                // every include and menu include line read
  // Labels whose action is "config NAME": the label and the configuration it opens.
  struct OtherConfiguration {
    std::string Label;
    NamedFile Config;
  };
  std::vector<OtherConfiguration> OtherConfigurations;
};

// Reads the configuration file line by line as the boot loader does, the lines of included
// files in place of their include lines; the last display and F-key lines read win. Lines between
// `text` and `endtext` are help text. All the configuration files read together hold at most
// MaxTextSize bytes.
// With `goOnPastUnreadable`, an included file that cannot be read is noted as Unreadable and
// the scan goes on; otherwise its failure ends the scan.
ConfigurationReport ScanConfiguration(const media::Medium& files, const std::string& configName,
                                      bool goOnPastUnreadable = false);

}  // namespace vestalo
