#include "menu/Model.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "base/InOutError.h"
#include "base/TextEnd.h"
#include "config/LineSplitter.h"
#include "media/MediumPaths.h"

namespace menu {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Is(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (Lower(word[i]) != keyword[i]) return false;
  return true;
}

// A line read word by word: each word with the column it starts at.
class Words {
 public:
  explicit Words(std::string_view line) : Line(line) {}

  std::string_view Next() {
    Skip();
    const std::size_t start = At;
    while (At < Line.size() && !IsBlank(Line[At])) ++At;
    Column = static_cast<int>(start) + 1;
    return Line.substr(start, At - start);
  }
  // The rest of the line without its blanks at either end.
  std::string Rest() {
    Skip();
    Column = static_cast<int>(At) + 1;
    std::string_view rest = Line.substr(At);
    while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
    return std::string(rest);
  }
  // The rest of the line with its blanks at the end: the menu centres a title and a tab
  // message with them, as the loader does.
  std::string RestWithTrailingBlanks() {
    Skip();
    Column = static_cast<int>(At) + 1;
    return std::string(Line.substr(At));
  }
  int LastColumn() const { return Column; }

 private:
  void Skip() {
    while (At < Line.size() && IsBlank(Line[At])) ++At;
  }
  std::string_view Line;
  std::size_t At = 0;
  int Column = 1;
};

int Number(const std::string& text) {
  return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

// The number of a line like the loader's: leading digits with an optional sign, and a
// value beyond reason clamped so that nothing overflows later.
int Clamped(const std::string& text, int low, int high) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long>(value, low, high));
}

// The words of MENU lines that set a layout value.
struct LayoutWord {
  const char* Word;
  int Layout::*Field;
};
constexpr LayoutWord LayoutWords[] = {
    {"width", &Layout::Width},
    {"margin", &Layout::Margin},
    {"passwordmargin", &Layout::PasswordMargin},
    {"rows", &Layout::Rows},
    {"tabmsgrow", &Layout::TabMsgRow},
    {"cmdlinerow", &Layout::CmdLineRow},
    {"endrow", &Layout::EndRow},
    {"passwordrow", &Layout::PasswordRow},
    {"timeoutrow", &Layout::TimeoutRow},
    {"helpmsgrow", &Layout::HelpMsgRow},
    {"helpmsgendrow", &Layout::HelpMsgEndRow},
    {"hiddenrow", &Layout::HiddenRow},
    {"hshift", &Layout::HShift},
    {"vshift", &Layout::VShift},
};

// The words that name what an entry boots, as the loader's command line knows them.
constexpr const char* KernelWords[] = {"kernel",  "linux",   "boot",  "bss",   "pxe",
                                       "fdimage", "comboot", "com32", "config"};

class Reader {
 public:
  Reader(const media::Medium& files, Model& model) : Files(files), Out(model) {
    Out.Menus.emplace_back();
  }

  void ReadFile(const std::string& name, int depth) {
    const std::string key = Key(name);
    Reading.push_back(key);
    if (ReadBefore.insert(key).second) Out.FilesRead.push_back(name);
    std::string text;
    Files.ReadFilePieces(name, [&](std::string_view piece) {
      BytesRead += piece.size();
      if (BytesRead > media::MaxTextSize)
        vestalo::ReportIOFailure(vestalo::ErrorCode::FileTooLarge);
      const std::size_t end = vestalo::TextFileEnd(piece);
      text.append(piece.substr(0, end));
      return end == piece.size();
    });
    int lineNumber = 0;
    vestalo::LineSplitter splitter([&](const std::string& line) {
      ++lineNumber;
      TakeLine(name, lineNumber, line, depth);
    });
    splitter.Push(text);
    splitter.Finish();
    InHelp = false;  // a help text ends with its file
    Reading.pop_back();
  }

  void Finish() {
    ResolveTargets();
    for (Menu& menu : Out.Menus) AssignHotkeys(menu);
  }

 private:
  std::string Key(const std::string& name) const {
    return media::FoldedCase(media::MediumPath("", Files.PathOnMedium(name)));
  }

  Menu& Current() { return Out.Menus[static_cast<std::size_t>(Open.empty() ? 0 : Open.back())]; }
  int CurrentIndex() const { return Open.empty() ? 0 : Open.back(); }

  // The entry the LABEL-bound directives go to; null before the menu's first LABEL.
  Entry* Labelled() {
    Menu& menu = Current();
    if (LabelIn != CurrentIndex() || LabelAt < 0 ||
        LabelAt >= static_cast<int>(menu.Entries.size()))
      return nullptr;
    return &menu.Entries[static_cast<std::size_t>(LabelAt)];
  }

  Place At(const std::string& file, int line, int column) const { return {file, line, column}; }

  void TakeLine(const std::string& file, int line, const std::string& text, int depth) {
    Words words(text);
    const std::string_view first = words.Next();
    if (InHelp) {
      if (Is(first, "endtext")) {
        InHelp = false;
      } else if (HelpFor != nullptr) {
        HelpFor->push_back(text);
      }
      return;
    }
    if (first.empty() || first[0] == '#') return;
    if (Is(first, "menu")) {
      TakeMenuLine(file, line, words, depth);
      return;
    }
    if (Is(first, "text")) {
      // TEXT HELP belongs to the label; any other text block is read over.
      InHelp = true;
      Entry* entry = Labelled();
      HelpFor = Is(words.Next(), "help") && entry != nullptr ? &entry->HelpText : nullptr;
      if (HelpFor != nullptr) HelpFor->clear();
      return;
    }
    if (Is(first, "include")) {
      Include(file, line, words, depth);
      return;
    }
    if (Is(first, "label")) {
      const std::string name = words.Rest();
      Entry entry;
      entry.Where = At(file, line, 1);
      entry.Label = name;
      entry.Does = Action::Nothing;
      Current().Entries.push_back(std::move(entry));
      LabelIn = CurrentIndex();
      LabelAt = static_cast<int>(Current().Entries.size()) - 1;
      return;
    }
    for (const char* kernel : KernelWords) {
      if (!Is(first, kernel)) continue;
      Entry* entry = Labelled();
      const std::string value = words.Rest();
      const int column = words.LastColumn();
      if (entry == nullptr) {
        // A KERNEL line before any label is the default command's kernel: nothing in the menu.
        return;
      }
      // The first word names the kernel; the rest of the line goes before APPEND's text.
      Words parts(value);
      const std::string name(parts.Next());
      entry->Kernel = {name, At(file, line, column)};
      entry->KernelKind = kernel;
      const std::string extra = parts.Rest();
      if (!extra.empty()) entry->KernelArguments = extra;
      if (Is(first, "config")) {
        entry->Does = Action::Config;
        entry->Target = entry->Kernel;
      } else {
        entry->Does = Action::Boot;
      }
      return;
    }
    if (Is(first, "localboot")) {
      if (Entry* entry = Labelled()) {
        entry->Does = Action::Boot;
        entry->KernelKind = "localboot";
        entry->Kernel = {"", At(file, line, 1)};
        entry->LocalBootType = Number(words.Rest());
      }
      return;
    }
    if (Is(first, "append")) {
      if (Entry* entry = Labelled()) {
        entry->Append = words.Rest();
        // "APPEND -" is the loader's way to write an empty line.
        if (entry->Append == "-") entry->Append.clear();
        entry->HasAppend = true;
      }
      return;
    }
    if (Is(first, "initrd")) {
      if (Entry* entry = Labelled()) {
        const std::string list = words.Rest();
        int column = words.LastColumn();
        entry->Initrds.clear();
        std::size_t start = 0;
        while (start <= list.size() && !list.empty()) {
          std::size_t comma = list.find(',', start);
          if (comma == std::string::npos) comma = list.size();
          if (comma > start)
            entry->Initrds.push_back({list.substr(start, comma - start),
                                      At(file, line, column + static_cast<int>(start))});
          start = comma + 1;
        }
      }
      return;
    }
    if (Is(first, "ipappend") || Is(first, "sysappend")) {
      if (Entry* entry = Labelled()) entry->IpAppend = Number(words.Rest());
      return;
    }
    if (Is(first, "default")) {
      const std::string value = words.Rest();
      Out.Default = {value, At(file, line, words.LastColumn())};
      return;
    }
    Settings& set = Current().Set;
    if (Is(first, "timeout")) {
      set.Timeout = Clamped(words.Rest(), 0, 864000);
    } else if (Is(first, "totaltimeout")) {
      set.TotalTimeout = Clamped(words.Rest(), 0, 864000);
    } else if (Is(first, "ontimeout")) {
      set.OnTimeout = words.Rest();
      set.OnTimeoutWhere = At(file, line, words.LastColumn());
    } else if (Is(first, "allowoptions")) {
      Out.AllowOptions = Number(words.Rest()) != 0;
    } else if (Is(first, "noescape")) {
      Out.NoEscape = Number(words.Rest()) != 0;
    } else if (Is(first, "font")) {
      Out.Font = {words.Rest(), {}};
      Out.Font.Where = At(file, line, words.LastColumn());
    } else if (first.size() >= 2 && Lower(first[0]) == 'f') {
      const std::string digits(first.substr(1));
      if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 2) return;
      int key = Number(digits);
      if (key == 0 && digits == "0") key = 10;
      if (key < 1 || key > 12 || (digits.size() == 2 && digits[0] == '0')) return;
      const std::string rest = words.Rest();
      Words value(rest);
      const std::string name(value.Next());
      Out.FKeys[static_cast<std::size_t>(key)] = {name, At(file, line, words.LastColumn())};
      const std::string picture(value.Next());
      // Where the picture stands, for --check: the column in `rest`, past the line's start.
      Out.FKeyPictures[static_cast<std::size_t>(key)] = {
          picture, At(file, line, words.LastColumn() + value.LastColumn() - 1)};
    }
  }

  void TakeMenuLine(const std::string& file, int line, Words& words, int depth) {
    const std::string_view word = words.Next();
    Menu& menu = Current();
    Settings& set = menu.Set;
    Entry* entry = Labelled();
    if (Is(word, "title")) {
      menu.Title = words.RestWithTrailingBlanks();
      menu.HasTitle = true;
      menu.TitleWhere = At(file, line, words.LastColumn());
    } else if (Is(word, "label")) {
      if (entry == nullptr) return;
      entry->Text = words.Rest();
      entry->TextWhere = At(file, line, words.LastColumn());
    } else if (Is(word, "hide")) {
      if (entry != nullptr) entry->Hidden = true;
    } else if (Is(word, "disable")) {
      if (entry != nullptr) entry->Disabled = true;
    } else if (Is(word, "indent")) {
      if (entry != nullptr) entry->Indent = Clamped(words.Rest(), 0, 80);
    } else if (Is(word, "default")) {
      if (entry != nullptr) entry->IsDefault = true;
    } else if (Is(word, "passwd")) {
      const std::string value = words.Rest();
      const Place where = At(file, line, words.LastColumn());
      if (entry != nullptr) {
        entry->HasPassword = true;
        entry->Password = value;
        entry->PasswordWhere = where;
      }
    } else if (Is(word, "master")) {
      if (!Is(words.Next(), "passwd")) return;
      set.MasterPassword = words.Rest();
      set.HasMasterPassword = true;
      set.MasterPasswordWhere = At(file, line, words.LastColumn());
    } else if (Is(word, "separator")) {
      Entry separator;
      separator.Where = At(file, line, 1);
      separator.Separator = true;
      menu.Entries.push_back(std::move(separator));
      LabelAt = -1;
    } else if (Is(word, "goto") || Is(word, "exit")) {
      if (entry == nullptr) return;
      entry->Does = Is(word, "goto") ? Action::Goto : Action::Exit;
      const std::string tag(words.Next());
      entry->Target = {tag, At(file, line, words.LastColumn())};
    } else if (Is(word, "quit")) {
      if (entry != nullptr) entry->Does = Action::Quit;
    } else if (Is(word, "help")) {
      if (entry == nullptr) return;
      const std::string name(words.Next());
      entry->Does = Action::Help;
      entry->Target = {name, At(file, line, words.LastColumn())};
    } else if (Is(word, "start")) {
      menu.Start = true;
    } else if (Is(word, "begin")) {
      const std::string tag(words.Next());
      Begin(tag, At(file, line, 1));
    } else if (Is(word, "end")) {
      End();
    } else if (Is(word, "include")) {
      Include(file, line, words, depth);
    } else if (Is(word, "hidden")) {
      Out.Hidden = true;
      Out.HiddenWhere = At(file, line, 1);
    } else if (Is(word, "immediate")) {
      Out.Immediate = true;
    } else if (Is(word, "shiftkey")) {
      Out.ShiftKey = true;
    } else if (Is(word, "clear")) {
      Out.Clear = true;
    } else if (Is(word, "color") || Is(word, "colour")) {
      const std::string element(words.Next());
      const int index = ElementNamed(element);
      if (index < 0) return;
      set.ColorWhere[static_cast<std::size_t>(index)] = At(file, line, words.LastColumn());
      const std::string ansi(words.Next()), fg(words.Next()), bg(words.Next()),
          shadow(words.Next());
      SetColor(set.Colors[static_cast<std::size_t>(index)], ansi, fg, bg, shadow);
    } else if (Is(word, "msgcolor") || Is(word, "msgcolour")) {
      set.MsgColor = words.Rest();
      const std::string fg(words.Next()), bg(words.Next()), shadow(words.Next());
      SetMessageColors(set.Colors, fg, bg, shadow);
    } else if (Is(word, "tabmsg")) {
      set.TabMsg = words.RestWithTrailingBlanks();
    } else if (Is(word, "notabmsg")) {
      set.NoTabMsg = words.Rest();
    } else if (Is(word, "autoboot")) {
      set.AutoBoot = words.Rest();
    } else if (Is(word, "passprompt")) {
      set.PassPrompt = words.Rest();
    } else if (Is(word, "resolution")) {
      const std::string width(words.Next());
      set.ResolutionWhere = At(file, line, words.LastColumn());
      const std::string height(words.Next());
      set.ResolutionWidth = Clamped(width, 0, 65535);
      set.ResolutionHeight = Clamped(height, 0, 65535);
    } else if (Is(word, "background")) {
      const std::string name(words.Next());
      set.Background = {name, At(file, line, words.LastColumn())};
    } else {
      for (const LayoutWord& layout : LayoutWords)
        if (Is(word, layout.Word)) {
          set.Geometry.*layout.Field = Clamped(words.Rest(), -999, 999);
          set.Geometry.HasWidth = set.Geometry.HasWidth || layout.Field == &Layout::Width;
        }
    }
  }

  // MENU BEGIN: an entry of the menu being read, which opens a new menu with its settings.
  void Begin(const std::string& tag, const Place& where) {
    const int parent = CurrentIndex();
    Menu sub;
    sub.Tag = tag;
    sub.Where = where;
    sub.Parent = parent;
    sub.Set = Out.Menus[static_cast<std::size_t>(parent)].Set;
    Entry opener;
    opener.Where = where;
    opener.Label = tag;
    opener.Does = Action::Submenu;
    opener.Submenu = static_cast<int>(Out.Menus.size());
    Out.Menus[static_cast<std::size_t>(parent)].Entries.push_back(std::move(opener));
    sub.ParentEntry =
        static_cast<int>(Out.Menus[static_cast<std::size_t>(parent)].Entries.size()) - 1;
    Out.Menus.push_back(std::move(sub));
    Open.push_back(static_cast<int>(Out.Menus.size()) - 1);
    LabelAt = -1;
  }

  void End() {
    if (!Open.empty()) Open.pop_back();
    LabelAt = -1;
  }

  // INCLUDE file [tag] and MENU INCLUDE file [tag]: the file's lines in place of the line,
  // as a submenu of their own when a tag is given.
  void Include(const std::string& file, int line, Words& words, int depth) {
    const std::string name(words.Next());
    const Named include{name, At(file, line, words.LastColumn())};
    const std::string tag(words.Next());
    if (name.empty()) return;
    if (!Files.FileIsPresent(name)) {
      Out.MissingIncludes.push_back(include);
      return;
    }
    const std::string key = Key(name);
    if (std::find(Reading.begin(), Reading.end(), key) != Reading.end() ||
        depth + 1 > vestalo::MaxIncludeDepth || Followed >= vestalo::MaxIncludesFollowed)
      return;
    ++Followed;
    Out.Includes.push_back(include);
    if (!tag.empty()) Begin(tag, include.Where);
    const std::size_t open = Open.size();
    ReadFile(name, depth + 1);
    if (!tag.empty()) {
      // The file is bracketed: whatever it left open is closed with it.
      while (Open.size() > open) Open.pop_back();
      End();
    }
  }

  // MENU GOTO and MENU EXIT name menus by their tags, which may come later in the file.
  void ResolveTargets() {
    for (Menu& menu : Out.Menus)
      for (Entry& entry : menu.Entries) {
        if (entry.Does != Action::Goto && entry.Does != Action::Exit) continue;
        if (entry.Target.Name.empty()) continue;
        entry.Submenu = MenuTagged(entry.Target.Name);
      }
  }

  int MenuTagged(const std::string& tag) const {
    if (tag == ".top") return 0;
    for (std::size_t i = 0; i < Out.Menus.size(); ++i)
      if (!Out.Menus[i].Tag.empty() && Out.Menus[i].Tag == tag) return static_cast<int>(i);
    return -1;
  }

  // The text each row shows and its hotkey: every caret goes, the letter after the first
  // one is the hotkey unless an earlier entry of the menu has it.
  void AssignHotkeys(Menu& menu) {
    std::set<char> taken;
    for (Entry& entry : menu.Entries) {
      entry.Shown.clear();
      entry.HotkeyAt = -1;
      entry.Hotkey = 0;
      if (entry.Does == Action::Submenu) continue;
      const std::string& text = entry.Text.empty() ? entry.Label : entry.Text;
      char hotkey = 0;
      int at = -1;
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '^') {
          entry.Shown += text[i];
          continue;
        }
        if (hotkey == 0 && i + 1 < text.size() && text[i + 1] != '^') {
          hotkey = Lower(text[i + 1]);
          at = static_cast<int>(entry.Shown.size());
        }
      }
      if (hotkey == 0 || entry.Hidden || taken.count(hotkey) != 0) continue;
      taken.insert(hotkey);
      if (entry.Disabled || entry.Separator) continue;
      entry.Hotkey = hotkey;
      entry.HotkeyAt = at;
    }
  }

  const media::Medium& Files;
  Model& Out;
  std::vector<int> Open;  // the menus begun and not ended, innermost last
  int LabelIn = -1, LabelAt = -1;
  bool InHelp = false;
  std::vector<std::string>* HelpFor = nullptr;
  std::vector<std::string> Reading;
  std::set<std::string> ReadBefore;
  std::size_t BytesRead = 0, Followed = 0;
};

}  // namespace

int ScreenRow(int configured, int rows) {
  return configured < 0 ? rows - 1 + configured : configured - 1;
}

Model ReadModel(const media::Medium& files, const std::vector<std::string>& configs) {
  Model model;
  Reader reader(files, model);
  for (const std::string& config : configs)
    if (files.FileIsPresent(config)) reader.ReadFile(config, 0);
  reader.Finish();
  return model;
}

}  // namespace menu
