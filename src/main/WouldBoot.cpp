#include "main/WouldBoot.h"

#include <algorithm>

#include "media/MediumPaths.h"

namespace vestalo {

namespace {

constexpr std::size_t MaxColumns = 79;  // an 80th character would wrap the frame's row
constexpr std::size_t MaxRows = 24;

// What each kind of boot line starts; the rest boot a kernel.
struct KindText {
  const char* Kind;
  const char* Text;
};
constexpr KindText KindTexts[] = {
    {"com32", "the module"},
    {"localboot", "the local disk"},
    {"config", "the configuration"},
    {"fdimage", "the floppy image"},
    {"bss", "the boot sector"},
    {"pxe", "the PXE program"},
    {"comboot", "the COMBOOT program"},
};

std::string WhatRuns(const menu::Outcome& boot) {
  for (const auto& kind : KindTexts)
    if (media::SameIgnoringCase(boot.KernelKind, kind.Kind)) return kind.Text;
  return "the kernel";
}

// A long text in lines of the screen's width, each indented, broken at blanks where it can be.
void AddWrapped(std::vector<std::string>& lines, std::string text, const std::string& indent) {
  const std::size_t width = MaxColumns - indent.size();
  while (text.size() > width) {
    std::size_t cut = text.rfind(' ', width);
    if (cut == std::string::npos || cut == 0) cut = width;
    lines.push_back(indent + text.substr(0, cut));
    text.erase(0, text[cut] == ' ' ? cut + 1 : cut);
  }
  lines.push_back(indent + text);
}

bool EndsWith(const std::string& name, const char* end) {
  const std::string tail(end);
  return name.size() >= tail.size() &&
         media::SameIgnoringCase(name.substr(name.size() - tail.size()), tail);
}

}  // namespace

std::vector<std::string> WouldBootLines(const menu::Outcome& boot,
                                        const std::function<bool(const std::string&)>& present) {
  std::vector<std::string> lines = {
      "Here the boot loader would boot; Vestalo shows what would run.", ""};
  if (!boot.Label.empty()) lines.push_back("  the entry     " + boot.Label);
  if (boot.Edited) lines.push_back("  (its command line was edited with Tab)");
  if (boot.ByTimeout) lines.push_back("  (the countdown ran out)");
  if (!boot.Kernel.empty()) {
    std::string runs = "  " + WhatRuns(boot);
    runs.resize(std::max<std::size_t>(runs.size() + 1, 16), ' ');
    lines.push_back(runs + boot.Kernel);
  }
  for (const auto& file : boot.Files)
    lines.push_back("  " + std::string(present(file) ? "on the medium: " : "MISSING:       ") +
                    file);
  if (!boot.CommandLine.empty()) {
    lines.push_back("  the command line the loader builds:");
    AddWrapped(lines, boot.CommandLine, "    ");
  }
  if (boot.IpAppend != 0)
    lines.push_back("  IPAPPEND " + std::to_string(boot.IpAppend) +
                    ": the loader adds the network's settings to the command line");
  if (EndsWith(boot.Kernel, ".cfg") && WhatRuns(boot) == "the kernel")
    AddWrapped(lines,
               "ISOLINUX 6.04 takes " + boot.Kernel +
                   " as a kernel here, not as a configuration: the menu comes back (a CONFIG line "
                   "opens one).",
               "  ");
  if (boot.PasswordUnchecked)
    lines.push_back("  The password is in a form this build cannot check: it was taken as right.");
  lines.insert(lines.end(), {"", "Press any key to return to the menu."});
  if (lines.size() > MaxRows)
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(MaxRows - 2), lines.end() - 2);
  for (auto& line : lines)
    if (line.size() > MaxColumns) line = line.substr(0, MaxColumns - 3) + "...";
  return lines;
}

}  // namespace vestalo
