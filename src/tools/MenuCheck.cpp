#include "tools/MenuCheck.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "base/InOutError.h"
#include "menu/Model.h"
#include "menu/Start.h"
#include "tools/GraphicalCheck.h"
#include "tools/MediumScreens.h"
#include "tools/ScreenCheck.h"

namespace vestalo::tools {

namespace {

class MenuChecker {
 public:
  MenuChecker(const media::Medium& files, const menu::Model& model) : Files(files), Data(model) {}

  std::vector<Finding> Found;

  void Missing(const menu::Named& named, const std::string& what) {
    if (!named.Name.empty() && !Files.FileIsPresent(named.Name))
      Found.push_back(FindingAt(Files, named.Where, true, what + " " + named.Name + " is missing"));
  }

  void Warn(const menu::Place& where, std::string message) {
    Found.push_back(FindingAt(Files, where, false, std::move(message)));
  }

  // The text where a place's column starts, `offset` bytes further.
  static menu::Place Further(menu::Place where, std::size_t offset) {
    where.Column += static_cast<int>(offset);
    return where;
  }

  // A title or label longer than the menu shows: the menu cuts it to `shown` bytes.
  void Width(const std::string& what, const std::string& text, int shown,
             const menu::Place& where) {
    shown = std::max(shown, 0);
    if (static_cast<int>(text.size()) <= shown) return;
    Warn(where, what + " \"" + text + "\" is " + std::to_string(text.size()) +
                    " bytes long; the menu cuts it to " + std::to_string(shown) + " bytes: \"" +
                    text.substr(0, static_cast<std::size_t>(shown)) + "\"");
  }

  // Bytes that read as UTF-8, which the menu shows as code page 437.
  void Utf8(const std::string& what, const std::string& written, const std::string& shown,
            const menu::Place& where) {
    if (!IsUtf8Text(shown)) return;
    const auto first = std::find_if(written.begin(), written.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    Warn(Further(where, static_cast<std::size_t>(first - written.begin())),
         what + " \"" + shown + "\" looks like UTF-8; the menu shows code page 437: \"" +
             ShownAsCp437(shown) + "\"");
  }

  void Entry(const menu::Menu& menu, const menu::Entry& entry) {
    // What the row shows, then what the entry runs: the order of their lines, mostly.
    const menu::Layout& g = menu.Set.Geometry;
    const menu::Place& textAt = entry.Text.empty() ? entry.Where : entry.TextWhere;
    if (entry.Does == menu::Action::Submenu) {
      // The entry shows the submenu's title, with the ">" mark after it.
      if (entry.Submenu >= 0) {
        const menu::Menu& sub = Data.Menus[static_cast<std::size_t>(entry.Submenu)];
        Width("submenu title", sub.Title, g.Width - 2 * g.Margin - 6,
              sub.HasTitle ? sub.TitleWhere : entry.Where);
      }
    } else {
      const bool marked = entry.Does == menu::Action::Exit;
      Width("label", entry.Shown,
            std::min(g.Width - 2 * g.Margin - (marked ? 6 : 4),
                     g.Width - 2 * g.Margin - 3 - entry.Indent),
            textAt);
      if (!entry.Text.empty()) Utf8("label", entry.Text, entry.Shown, entry.TextWhere);
    }
    switch (entry.Does) {
      case menu::Action::Boot:
        if (entry.KernelKind != "localboot") Missing(entry.Kernel, entry.KernelKind + " file");
        for (const auto& initrd : entry.Initrds) Missing(initrd, "initrd file");
        break;
      case menu::Action::Config: Missing(entry.Target, "config file"); break;
      case menu::Action::Help: Missing(entry.Target, "MENU HELP file"); break;
      case menu::Action::Goto:
      case menu::Action::Exit:
        if (entry.Submenu < 0 && !entry.Target.Name.empty())
          Warn(entry.Target.Where,
               std::string(entry.Does == menu::Action::Goto ? "MENU GOTO" : "MENU EXIT") +
                   " names the menu " + entry.Target.Name +
                   ", which no MENU BEGIN or MENU INCLUDE tags; the entry does nothing");
        break;
      default: break;
    }
  }

  // Two entries of one menu with the same hotkey: the first keeps it.
  void Hotkeys(const menu::Menu& menu) {
    std::map<char, const menu::Entry*> owners;
    for (const auto& entry : menu.Entries) {
      if (entry.Does == menu::Action::Submenu || entry.Hidden) continue;
      // The first caret before a character that is no caret, as the menu module reads it.
      std::size_t caret = entry.Text.find('^');
      while (caret != std::string::npos && caret + 1 < entry.Text.size() &&
             entry.Text[caret + 1] == '^')
        caret = entry.Text.find('^', caret + 1);
      if (caret == std::string::npos || caret + 1 >= entry.Text.size()) continue;
      const char key =
          static_cast<char>(std::tolower(static_cast<unsigned char>(entry.Text[caret + 1])));
      const auto [owner, first] = owners.emplace(key, &entry);
      if (first) continue;
      Warn(Further(entry.TextWhere, caret),
           std::string("hotkey ") + key + " of \"" + entry.Shown + "\" is already \"" +
               owner->second->Shown + "\"'s (line " +
               std::to_string(owner->second->TextWhere.Line) + "): this entry has no hotkey");
    }
  }

  void Menu(const menu::Menu& menu) {
    const menu::Layout& g = menu.Set.Geometry;
    if (menu.HasTitle) {
      Width("title", menu.Title, g.Width - 2 * g.Margin - 4, menu.TitleWhere);
      Utf8("title", menu.Title, menu.Title, menu.TitleWhere);
    }
    std::vector<const menu::Entry*> shown;
    for (const auto& entry : menu.Entries) {
      Entry(menu, entry);
      if (!entry.Hidden) shown.push_back(&entry);
    }
    Hotkeys(menu);
    const int rows = std::max(g.Rows, 1);
    if (static_cast<int>(shown.size()) > rows)
      Warn(shown[static_cast<std::size_t>(rows)]->Where,
           "the menu" + (menu.Tag.empty() ? std::string() : " " + menu.Tag) + " has " +
               std::to_string(shown.size()) + " entries for its " + std::to_string(rows) +
               " rows: it scrolls, with a scroll bar, and this entry is the first below them");
  }

 private:
  const media::Medium& Files;
  const menu::Model& Data;
};

}  // namespace

std::vector<Finding> CheckMenus(const media::Medium& files, const std::string& configName) {
  menu::MenuStart start;
  menu::Model model;
  try {
    start = menu::FindMenuStart(files, configName);
    if (start.Kind == menu::Module::None) return {};
    model = menu::ReadModel(files, start.Configs);
  } catch (const EInOutError&) {
    // A configuration file that cannot be read is a finding of the configuration's check.
    return {};
  }
  MenuChecker check(files, model);
  // Seen on the boot loader: it says so and shows its prompt, without the menu.
  const std::string& module = start.ModuleName;
  if (!files.FileIsPresent(module))
    check.Found.push_back(FindingAt(files, start.Where, true,
                                    "menu module " + module +
                                        " is missing: the boot loader says "
                                        "\"Failed to load COM32 file " +
                                        module + "\" and shows its boot: prompt"));
  for (const auto& include : model.MissingIncludes) check.Missing(include, "include file");
  for (const auto& config : start.Configs)
    check.Missing({config, start.Where}, "menu configuration");
  for (std::size_t key = 1; key < model.FKeys.size(); ++key)
    check.Missing(model.FKeys[key], std::string("F").append(std::to_string(key)).append(" file"));
  for (const auto& menu : model.Menus) check.Menu(menu);
  if (start.Kind == menu::Module::Graphical) {
    try {
      for (auto& finding : CheckGraphicalMenu(files, start, model))
        check.Found.push_back(std::move(finding));
    } catch (const EInOutError&) {
      // A file the menu reads again that cannot be read now: the findings above tell of it.
    }
  }
  return check.Found;
}

}  // namespace vestalo::tools
