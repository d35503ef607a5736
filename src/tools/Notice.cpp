#include "tools/Notice.h"

#include <algorithm>

namespace vestalo {

namespace {

constexpr std::size_t MaxColumns = 79;  // an 80th character would wrap the frame's row
constexpr std::size_t MaxRows = 24;     // a 25th line's line break would scroll the frame

struct HelpKey {
  char Digit;
  const char* Line;
};

// The digit keys in the order the loader numbers its function keys.
constexpr HelpKey HelpKeys[HelpFileCount + 1] = {
    {0, ""},     {'1', "F1"}, {'2', "F2"}, {'3', "F3"}, {'4', "F4"},  {'5', "F5"},
    {'6', "F6"}, {'7', "F7"}, {'8', "F8"}, {'9', "F9"}, {'0', "F10"},
};

// "a", "a or b", "a, b or c".
std::string Listed(const std::vector<std::string>& items, const char* last) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? std::string(" ") + last + " " : ", ";
    text += items[i];
  }
  return text;
}

std::string Quoted(const std::string& argument) {
  return argument.find_first_of(" \t") == std::string::npos ? argument : "\"" + argument + "\"";
}

std::string Fitted(std::string line) {
  if (line.size() > MaxColumns) line = line.substr(0, MaxColumns - 3) + "...";
  return line;
}

// A long path keeps its end, which names the file.
std::string TailFitted(const std::string& path, std::size_t columns) {
  return path.size() <= columns ? path : "..." + path.substr(path.size() - (columns - 3));
}

// The words as lines of at most MaxColumns, the first starting with `head`, the others
// indented; at most `most` lines, the last one cut with "..." when more would follow.
std::vector<std::string> Wrapped(const std::string& head, const std::vector<std::string>& words,
                                 std::size_t most) {
  std::vector<std::string> lines{head};
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string word = words[i] + (i + 1 < words.size() ? "," : ".");
    if (lines.back().size() + 1 + word.size() > MaxColumns && lines.back().size() > 2) {
      if (lines.size() == most) {
        lines.back() += " ...";
        break;
      }
      lines.push_back(" ");
    }
    lines.back() += " " + word;
  }
  return lines;
}

std::vector<std::string> HelpLines(const media::Medium& files, const ConfigurationReport& report) {
  std::vector<std::string> digits, lines, missing;
  for (int i = 1; i <= HelpFileCount; ++i) {
    const std::string& name = report.Help[static_cast<std::size_t>(i)].Name;
    if (name.empty()) continue;
    if (!files.FileIsPresent(name)) {
      missing.push_back(std::string(HelpKeys[i].Line) + " " + name);
      continue;
    }
    digits.push_back(std::string(1, HelpKeys[i].Digit));
    lines.push_back(HelpKeys[i].Line);
  }
  std::vector<std::string> text;
  if (!digits.empty())
    text.push_back("Help screens: press " + Listed(digits, "or") + " (its " + Listed(lines, "and") +
                   " " + (lines.size() == 1 ? "line" : "lines") + ").");
  else if (missing.empty())
    text.push_back("It binds no help screens to F1..F10: the digit keys show nothing here.");
  else text.push_back("None of its help screens is on the medium: the digit keys show nothing.");
  if (!missing.empty())
    for (auto& line : Wrapped("Missing help files:", missing, 3)) text.push_back(line);
  return text;
}

std::vector<std::string> OtherConfigurationLines(const media::Medium& files,
                                                 const ConfigurationReport& report,
                                                 const std::string& target) {
  std::vector<std::string> names, lines, missing;
  std::size_t listed = 0;
  for (const auto& other : report.OtherConfigurations) {
    if (other.Config.Name.empty() || std::count(names.begin(), names.end(), other.Config.Name) > 0)
      continue;
    names.push_back(other.Config.Name);
    // A command that cannot work is no command: the file is told as missing.
    if (!files.FileIsPresent(other.Config.Name)) {
      missing.push_back(other.Config.Name + " (label " + other.Label + ")");
      continue;
    }
    if (++listed > MaxListedConfigurations) continue;
    // Appended piece by piece: GCC 12 warns falsely about "text" + std::string&& here.
    std::string line = "  vestalo -c ";
    line.append(Quoted(other.Config.Name));
    if (!target.empty()) line.append(" ").append(Quoted(target));
    std::string label = " (label ";
    label.append(other.Label).append(")");
    // The command stays whole, so that it works as listed; the label goes where it fits.
    if (line.size() > MaxColumns) {
      line = "  label " + other.Label + ": vestalo -c " + Quoted(other.Config.Name) +
             " and the medium (too long to list here)";
    } else if (std::max<std::size_t>(line.size(), 40) + label.size() <= MaxColumns) {
      line.resize(std::max<std::size_t>(line.size(), 40), ' ');
      line.append(label);
    }
    lines.push_back(std::move(line));
  }
  std::vector<std::string> text;
  if (!lines.empty()) {
    text = {"", "Its menu opens other configurations; to see their screens, run:"};
    text.insert(text.end(), lines.begin(), lines.end());
    if (listed > MaxListedConfigurations)
      text.push_back("  ... and " + std::to_string(listed - MaxListedConfigurations) + " more.");
  }
  if (!missing.empty()) {
    if (lines.empty()) text.push_back("");
    for (auto& line : Wrapped("Its menu opens configurations missing here:", missing, 2))
      text.push_back(line);
  }
  return text;
}

}  // namespace

std::vector<std::string> NoSplashNotice(const media::Medium& files,
                                        const ConfigurationReport& report,
                                        const std::string& target) {
  std::vector<std::string> filesForUser;
  for (const auto& name : report.FilesRead) filesForUser.push_back(files.PathForUser(name));
  const bool emptyLine = report.Display.Place.Line > 0;
  const std::size_t included = filesForUser.empty() ? 0 : filesForUser.size() - 1;
  std::vector<std::string> after = {
      std::string("It names no splash screen: ") +
          (emptyLine ? "its display line is empty." : "it has no display line."),
      ""};
  for (auto& line : HelpLines(files, report)) after.push_back(line);
  for (auto& line : OtherConfigurationLines(files, report, target)) after.push_back(line);
  after.insert(after.end(), {"", "Press x to end."});
  std::vector<std::string> lines = {
      included == 0 ? std::string("Vestalo read this configuration, which includes no other file:")
      : included == 1 ? std::string("Vestalo read this configuration and the file it includes:")
                      : "Vestalo read this configuration and the " + std::to_string(included) +
                            " files it includes:"};
  // Every file read, as many as the screen has rows for.
  const std::size_t room = MaxRows - 1 - after.size();
  for (std::size_t i = 0; i < filesForUser.size(); ++i) {
    if (filesForUser.size() > room && i + 1 == room) {
      lines.push_back("  ... and " + std::to_string(filesForUser.size() - i) + " more.");
      break;
    }
    lines.push_back("  " + TailFitted(filesForUser[i], MaxColumns - 2));
  }
  lines.insert(lines.end(), after.begin(), after.end());
  for (auto& line : lines) line = Fitted(line);
  return lines;
}

}  // namespace vestalo
