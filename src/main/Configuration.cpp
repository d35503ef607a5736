#include "main/Configuration.h"

#include <array>
#include <vector>

#include "main/FileAccess.h"
#include "main/InOutError.h"
#include "main/LineSplitter.h"
#include "main/Platform.h"
#include "main/ProgramState.h"

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
    {"F1", 1}, {"F2", 2}, {"F3", 3}, {"F4", 4}, {"F5", 5},
    {"F6", 6}, {"F7", 7}, {"F8", 8}, {"F9", 9}, {"F0", 10}, {"F10", 10},
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

void Bind(const ConfigurationBinding& binding) {
  if (binding.Index == DisplayIndex) DisplayFile = binding.Value;
  else if (binding.Index > 0) HelpFiles[static_cast<std::size_t>(binding.Index)] = binding.Value;
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
  for (const auto& keyword : Keywords)
    if (EqualsIgnoringCase(word, keyword.Text)) return {keyword.Index, TrimBlanks(line.substr(end))};
  return {};
}

ConfigurationReport ScanConfiguration(const std::string& configName) {
  platform::FileHandle handle{};
  if (int error = platform::OpenForReading(NameOnDisk(configName), handle)) ReportIOFailure(error);
  LineSplitter splitter([](const std::string& line) { Bind(ParseConfigurationLine(line)); });
  std::vector<char> chunk(64 * 1024);
  std::size_t total = 0;
  for (;;) {
    std::size_t got = 0;
    int error = platform::ReadFile(handle, chunk.data(), chunk.size(), got);
    total += got;
    if (error == 0 && total > MaxTextSize) error = ErrorCode::FileTooLarge;
    if (error != 0) {
      platform::CloseFile(handle);
      ReportIOFailure(error);
    }
    if (got == 0) {
      splitter.Finish();
      break;
    }
    if (!splitter.Push(std::string_view(chunk.data(), got))) break;
  }
  if (int error = platform::CloseFile(handle)) ReportIOFailure(error);
  ConfigurationReport report;
  report.ConfigName = configName;
  report.FilesRead.push_back(configName);
  return report;
}

}  // namespace vestalo
