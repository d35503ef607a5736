// The command line: which run mode, and what it works on.
#pragma once

#include <string>
#include <vector>

namespace vestalo {

enum class RunMode {
  // The target decides: a boot medium (no target, a folder or an ISO image) shows its
  // splash screen and the help-key menu; any other target is one screen file and the Enter wait.
  Configuration,
  Help,      // the usage text
  Version,   // the version line and what this build can do
  Check,     // --check: findings about the medium's configuration and screens
  Snapshot,  // --snapshot DIR: every screen written as text, colours, a page and a picture
};

struct ProgramOptions {
  RunMode Mode = RunMode::Configuration;
  // The screen file, boot folder or image named on the command line; empty: the current folder.
  std::string Target;
  // -c NAME: the configuration to start from instead of isolinux.cfg/syslinux.cfg.
  std::string ConfigName;
  // --snapshot DIR: where the snapshots go.
  std::string SnapshotFolder;
  // --watch: the screen shown is drawn again when its file or the configuration changes.
  bool Watch = false;
  // --no-menu: a configuration that starts a boot menu shows its splash screen and the
  // help-key menu instead, as without the menu module.
  bool NoMenu = false;
  // --keys K1,K2,...: with --snapshot, the keys of a tour of the boot menu (the boot
  // oracle's key names), a snapshot after each.
  std::vector<std::string> Keys;
  // What is wrong with the command line, for the user; empty when nothing is.
  std::string Problem;
};

// Reads the arguments (without the program's own name). Options come first; the first
// argument that is no option is the target, and everything after it is ignored, so any
// other first argument is a screen file's name as it always was, but for one that starts
// with "--" and is no option (a problem). "--" ends the options; -help, --help, -h and
// --version end the reading at once.
ProgramOptions ParseArguments(const std::vector<std::string>& arguments);

}  // namespace vestalo
