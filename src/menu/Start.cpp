#include "menu/Start.h"

#include <algorithm>
#include <functional>
#include <set>

#include "base/TextEnd.h"
#include "config/LineSplitter.h"
#include "media/MediumPaths.h"

namespace menu {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    if (at > start) words.emplace_back(line.substr(start, at - start));
  }
  return words;
}

using LineTaker = std::function<void(const std::string& file, int line, const std::string& text)>;

// Every line the loader's own reader sees: include lines (not MENU INCLUDE, which only the
// menu reads) are followed within the loader's limits.
class CoreLines {
 public:
  CoreLines(const vestalo::media::Medium& files, LineTaker take)
      : Files(files), Take(std::move(take)) {}

  void Read(const std::string& name, int depth) {
    const std::string key =
        vestalo::media::FoldedCase(vestalo::media::MediumPath("", Files.PathOnMedium(name)));
    Reading.push_back(key);
    std::string text;
    Files.ReadFilePieces(name, [&](std::string_view piece) {
      Bytes += piece.size();
      if (Bytes > vestalo::media::MaxTextSize) return false;
      const std::size_t end = vestalo::TextFileEnd(piece);
      text.append(piece.substr(0, end));
      return end == piece.size();
    });
    int number = 0;
    bool inText = false;
    vestalo::LineSplitter splitter([&](const std::string& line) {
      ++number;
      const std::vector<std::string> words = SplitWords(line);
      const std::string first = words.empty() ? "" : vestalo::media::FoldedCase(words[0]);
      if (inText) {
        inText = first != "endtext";
        return;
      }
      if (first == "text") {
        inText = true;
        return;
      }
      if (first == "include" && words.size() > 1) {
        const std::string& included = words[1];
        const std::string includedKey = vestalo::media::FoldedCase(
            vestalo::media::MediumPath("", Files.PathOnMedium(included)));
        if (Files.FileIsPresent(included) && depth + 1 <= vestalo::MaxIncludeDepth &&
            Followed < vestalo::MaxIncludesFollowed &&
            std::find(Reading.begin(), Reading.end(), includedKey) == Reading.end()) {
          ++Followed;
          Read(included, depth + 1);
        }
        return;
      }
      Take(name, number, line);
    });
    splitter.Push(text);
    splitter.Finish();
    Reading.pop_back();
  }

 private:
  const vestalo::media::Medium& Files;
  LineTaker Take;
  std::vector<std::string> Reading;
  std::size_t Bytes = 0, Followed = 0;
};

struct Command {
  std::vector<std::string> Words;
  vestalo::ConfigurationPlace Where;
};

}  // namespace

Module ModuleNamed(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  const std::string base =
      vestalo::media::FoldedCase(slash == std::string::npos ? name : name.substr(slash + 1));
  if (base == "menu.c32") return Module::Text;
  if (base == "vesamenu.c32") return Module::Graphical;
  return Module::None;
}

MenuStart FindMenuStart(const vestalo::media::Medium& files, const std::string& configName) {
  MenuStart start;
  start.StartConfig = configName;
  if (!files.FileIsPresent(configName)) return start;
  Command ui, fallback;
  // The kernel lines of each label, for a DEFAULT that names a label.
  struct LabelKernel {
    std::string Label;
    Command Kernel;
    std::string Append;
  };
  std::vector<LabelKernel> labels;
  CoreLines(files, [&](const std::string& file, int line, const std::string& text) {
    std::vector<std::string> words = SplitWords(text);
    if (words.empty()) return;
    const std::string keyword = vestalo::media::FoldedCase(words[0]);
    words.erase(words.begin());
    const std::size_t column =
        text.find_first_not_of(" \t", text.find_first_of(" \t", text.find_first_not_of(" \t")));
    const vestalo::ConfigurationPlace place{
        file, line, column == std::string::npos ? 1 : static_cast<int>(column) + 1};
    if (keyword == "ui") ui = {words, place};
    else if (keyword == "default") fallback = {words, place};
    else if (keyword == "label") labels.push_back({words.empty() ? "" : words[0], {}, ""});
    else if ((keyword == "kernel" || keyword == "com32") && !labels.empty())
      labels.back().Kernel = {words, place};
    else if (keyword == "append" && !labels.empty()) {
      std::string append;
      for (const auto& word : words) append += (append.empty() ? "" : " ") + word;
      labels.back().Append = append;
    }
  }).Read(configName, 0);

  Command chosen = ui;
  if (chosen.Words.empty() && !fallback.Words.empty()) {
    chosen = fallback;
    // DEFAULT may name a label whose kernel is the menu module.
    if (ModuleNamed(chosen.Words[0]) == Module::None)
      for (const auto& label : labels)
        if (label.Label == chosen.Words[0] && !label.Kernel.Words.empty()) {
          chosen = label.Kernel;
          std::vector<std::string> append = SplitWords(label.Append);
          chosen.Words.insert(chosen.Words.end(), append.begin(), append.end());
        }
  }
  if (chosen.Words.empty()) return start;
  start.Kind = ModuleNamed(chosen.Words[0]);
  if (start.Kind == Module::None) return start;
  start.ModuleName = chosen.Words[0];
  start.Where = chosen.Where;
  for (std::size_t i = 1; i < chosen.Words.size(); ++i)
    start.Configs.push_back(chosen.Words[i] == "~" ? configName : chosen.Words[i]);
  if (start.Configs.empty()) start.Configs.push_back(configName);
  return start;
}

}  // namespace menu
