#include "config/Configuration.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "base/InOutError.h"
#include "base/TextEnd.h"
#include "config/LineSplitter.h"
#include "media/Medium.h"
#include "media/MediumPaths.h"

namespace vestalo {

namespace {

struct Keyword {
  const char* Text;
  int Index;
};

// F10 is the boot loader's own spelling of the tenth help key; F0 is the older one.
// F11 and F12 have no digit key, so they bind nothing here.
constexpr std::array<Keyword, 12> Keywords{{
    {"display", DisplayIndex},
    {"F1", 1},
    {"F2", 2},
    {"F3", 3},
    {"F4", 4},
    {"F5", 5},
    {"F6", 6},
    {"F7", 7},
    {"F8", 8},
    {"F9", 9},
    {"F0", 10},
    {"F10", 10},
}};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool EqualsIgnoringCase(std::string_view word, const char* keyword) {
  std::size_t i = 0;
  for (; i < word.size() && keyword[i] != '\0'; ++i) {
    char a = word[i], b = keyword[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return i == word.size() && keyword[i] == '\0';
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

ConfigurationBinding ParseConfigurationLine(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  const std::string_view word = line.substr(start, end - start);
  for (const auto& keyword : Keywords) {
    if (!EqualsIgnoringCase(word, keyword.Text)) continue;
    // The loader takes the file name's word and leaves the rest: the graphical menu's F lines
    // add a background colour or picture after it.
    const std::string rest = TrimBlanks(line.substr(end));
    std::size_t nameEnd = 0;
    while (nameEnd < rest.size() && !IsBlank(rest[nameEnd])) ++nameEnd;
    return {keyword.Index, rest.substr(0, nameEnd)};
  }
  return {};
}

namespace {

// A word of a line: where it starts and what it is.
struct Word {
  std::size_t Start = 0;
  std::string_view Text;
};

Word NextWord(std::string_view line, std::size_t from) {
  while (from < line.size() && IsBlank(line[from])) ++from;
  std::size_t end = from;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return {from, line.substr(std::min(from, line.size()), end - std::min(from, line.size()))};
}

// Where the value of a keyword line starts: its column counted from 1.
int ValueColumn(std::string_view line, const Word& keyword) {
  return static_cast<int>(NextWord(line, keyword.Start + keyword.Text.size()).Start) + 1;
}

// Follows the configuration as the loader reads it: one file after another in reading order.
class Scanner {
 public:
  Scanner(const media::Medium& files, ConfigurationReport& report, bool goOnPastUnreadable)
      : Files(files), Report(report), GoOnPastUnreadable(goOnPastUnreadable) {}

  void ReadFile(const std::string& name, int depth) {
    const std::string key = Key(name);
    Reading.push_back(key);
    // The file leaves the chain of files being read however its reading ends.
    struct Done {
      std::vector<std::string>& Reading;
      ~Done() { Reading.pop_back(); }
    } done{Reading};
    if (ReadBefore.insert(key).second) Report.FilesRead.push_back(name);
    // Read whole before its lines are followed, so that no two files are open at once.
    std::string text;
    Files.ReadFilePieces(
        name,
        [&](std::string_view piece) {
          BytesRead += piece.size();
          if (BytesRead > media::MaxTextSize) ReportIOFailure(ErrorCode::FileTooLarge);
          const std::size_t end = TextFileEnd(piece);
          text.append(piece.substr(0, end));
          return end == piece.size();
        },
        [&](std::size_t size) { text.reserve(size); });
    FileState state{name, 0, false, depth};
    LineSplitter splitter([&](const std::string& line) { TakeLine(state, line); });
    splitter.Push(text);
    splitter.Finish();
  }

 private:
  struct FileState {
    const std::string& Name;
    int Line;
    bool InText;  // between `text` and `endtext`: help text, which ends with its file
    int Depth;
  };

  // The same file however its name is written.
  std::string Key(const std::string& name) const {
    return media::FoldedCase(media::MediumPath("", Files.PathOnMedium(name)));
  }

  void TakeLine(FileState& file, std::string_view line) {
    ++file.Line;
    const Word first = NextWord(line, 0);
    if (file.InText) {
      file.InText = !EqualsIgnoringCase(first.Text, "endtext");
      return;
    }
    if (EqualsIgnoringCase(first.Text, "text")) {
      file.InText = true;
      return;
    }
    Word include = first;
    if (EqualsIgnoringCase(first.Text, "menu"))
      include = NextWord(line, first.Start + first.Text.size());
    if (EqualsIgnoringCase(include.Text, "include")) {
      Include(file, NextWord(line, include.Start + include.Text.size()));
      return;
    }
    if (EqualsIgnoringCase(first.Text, "label"))
      Label = NextWord(line, first.Start + first.Text.size()).Text;
    if (EqualsIgnoringCase(first.Text, "config") && !Label.empty() &&
        Report.OtherConfigurations.size() < MaxReportedLines) {
      const Word name = NextWord(line, first.Start + first.Text.size());
      Report.OtherConfigurations.push_back({Label, Named(file, name)});
    }
    const ConfigurationBinding binding = ParseConfigurationLine(line);
    if (binding.Index < 0) return;
    NamedFile& bound = binding.Index == DisplayIndex
                           ? Report.Display
                           : Report.Help[static_cast<std::size_t>(binding.Index)];
    bound = {{file.Name, file.Line, ValueColumn(line, first)}, binding.Value};
  }

  NamedFile Named(const FileState& file, const Word& name) {
    NamedFile named{{file.Name, file.Line, static_cast<int>(name.Start) + 1},
                    std::string(name.Text)};
    named.Found = Files.FileIsPresent(named.Name);
    return named;
  }

  // The included file's lines are read in place of the line, as far as the loader gets.
  void Include(const FileState& file, const Word& nameWord) {
    NamedFile include = Named(file, nameWord);
    if (include.Found) {
      const std::string key = Key(include.Name);
      bool loop = false;
      for (const auto& reading : Reading) loop = loop || reading == key;
      if (loop) include.Stopped = IncludeStop::Loop;
      else if (file.Depth + 1 > MaxIncludeDepth) include.Stopped = IncludeStop::TooDeep;
      else if (Followed >= MaxIncludesFollowed) include.Stopped = IncludeStop::TooMany;
    }
    const std::size_t index = Report.Includes.size();  // where the line's report goes, if it fits
    if (index < MaxReportedLines) Report.Includes.push_back(include);
    if (!include.Found || include.Stopped != IncludeStop::None) return;
    ++Followed;
    try {
      ReadFile(include.Name, file.Depth + 1);
    } catch (const EInOutError& failure) {
      if (!GoOnPastUnreadable) throw;
      if (index >= MaxReportedLines) return;
      Report.Includes[index].Stopped = IncludeStop::Unreadable;
      Report.Includes[index].Failure = failure.Message;
    }
  }

  const media::Medium& Files;
  ConfigurationReport& Report;
  bool GoOnPastUnreadable;
  std::vector<std::string> Reading;  // the files being read, outermost first
  std::set<std::string> ReadBefore;  // every file read so far
  std::string Label;                 // the label whose lines are being read
  std::size_t BytesRead = 0;
  std::size_t Followed = 0;
};

}  // namespace

ConfigurationReport ScanConfiguration(const media::Medium& files, const std::string& configName,
                                      bool goOnPastUnreadable) {
  ConfigurationReport report;
  report.ConfigName = configName;
  Scanner(files, report, goOnPastUnreadable).ReadFile(configName, 0);
  // Whether the winning lines name files that are there, for the notice and for --check.
  report.Display.Found = files.FileIsPresent(report.Display.Name);
  for (auto& help : report.Help) help.Found = files.FileIsPresent(help.Name);
  return report;
}

}  // namespace vestalo
