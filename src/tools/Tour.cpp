#include "tools/Tour.h"

#include <cstdio>
#include <memory>

#include "UTypes/UTypes.h"
#include "config/Configuration.h"
#include "menu/Session.h"
#include "menu/Start.h"
#include "tools/Notice.h"

namespace vestalo::tools {

namespace {

// The file of a help key of the help-key menu: 1..10 for F1..F10 (digits 1..9 and 0), 0 for
// any other key; -1 for x, which ends the menu.
int HelpKeyOf(menu::Key key) {
  if (key.Char >= '1' && key.Char <= '9') return key.Char - '0';
  if (key.Char == '0') return 10;
  if (key.Char == 'x' || key.Char == 'X') return -1;
  if (key.Char == 0 && key.Extended >= menu::keys::F1 && key.Extended <= menu::keys::F10)
    return key.Extended - menu::keys::F1 + 1;
  return 0;
}

screen::ScreenGrid FileOrNotFound(const media::Medium& files, const std::string& name) {
  if (!files.FileIsPresent(name)) return LinesScreen({"File " + name + " not found"});
  screen::ScreenGrid grid;
  UTypes::RenderDisplayText(files.LoadWholeFile(name), grid);
  return grid;
}

// What would boot, told as one line: the kernel, its command line, the files not there.
std::string BootLine(const media::Medium& files, const menu::Outcome& outcome) {
  std::string line = "would boot ";
  line +=
      outcome.Kernel.empty()
          ? "(" + (outcome.KernelKind.empty() ? std::string("nothing") : outcome.KernelKind) + ")"
          : outcome.Kernel;
  if (!outcome.CommandLine.empty()) line += " " + outcome.CommandLine;
  std::string missing;
  for (const auto& file : outcome.Files)
    if (!files.FileIsPresent(file)) missing += (missing.empty() ? "" : ", ") + file;
  if (!missing.empty()) line += " (missing: " + missing + ")";
  return line;
}

class Walk {
 public:
  Walk(const media::Medium& files, bool menus, std::string target)
      : Files(files), Menus(menus), Target(std::move(target)) {}

  void Start(const std::string& config, std::vector<std::string>& events) {
    const menu::MenuStart start = Menus ? menu::FindMenuStart(Files, config) : menu::MenuStart{};
    if (start.Kind == menu::Module::None) {
      Session.reset();
      Scan = ScanConfiguration(Files, config);
      Grid = FirstHelpKeyScreen(Files, config, Target);
      return;
    }
    Session = std::make_unique<menu::Session>(Files, start);
    Module = start.ModuleName;
    Take(Session->Elapse(0), events);
  }

  // Runs one step; false when it ended the walk.
  bool Step(const TourStep& step, std::vector<std::string>& events) {
    if (step.WaitMs >= 0) {
      if (Session) Take(Session->Elapse(step.WaitMs), events);
      return true;
    }
    for (const menu::Key& key : step.Keys) {
      if (Session) {
        Take(Session->Press(key), events);
        continue;
      }
      const int help = HelpKeyOf(key);
      if (help < 0) return false;
      const std::string& name = Scan.Help[static_cast<std::size_t>(help)].Name;
      if (help > 0 && !name.empty()) Grid = FileOrNotFound(Files, name);
    }
    return true;
  }

  const screen::ScreenGrid& Screen() const { return Session ? Session->Screen() : Grid; }

  // The screen as a tour's snapshot keeps it: the graphical menu's picture while it shows.
  TourScreen Taken(std::string stem, std::vector<std::string> events) const {
    TourScreen taken{std::move(stem), Screen(), std::move(events)};
    if (Session && Session->ShowsGraphics()) {
      taken.Graphics = Session->Graphics();
      taken.Shows = GraphicsShown(Module, *Session);
    }
    return taken;
  }

 private:
  void Take(const menu::Outcome& outcome, std::vector<std::string>& events) {
    if (outcome.Type == menu::Outcome::Boot) events.push_back(BootLine(Files, outcome));
    if (outcome.Type == menu::Outcome::OpenConfiguration) {
      events.push_back("opens the configuration " + outcome.Configuration);
      Start(outcome.Configuration, events);
    }
  }

  const media::Medium& Files;
  bool Menus;
  std::string Target;
  std::unique_ptr<menu::Session> Session;  // none: the help-key menu
  std::string Module;                      // the menu module as the configuration names it
  ConfigurationReport Scan;                // the help-key menu's configuration
  screen::ScreenGrid Grid;                 // the help-key menu's screen
};

std::string Numbered(std::size_t n, const std::string& name) {
  char number[24];
  std::snprintf(number, sizeof number, "%02zu-", n);
  return number + name;
}

}  // namespace

std::string GraphicsShown(const std::string& module, const menu::Session& session) {
  return module + ", " + std::to_string(session.PixelWidth()) + "x" +
         std::to_string(session.PixelHeight());
}

screen::ScreenGrid LinesScreen(const std::vector<std::string>& lines) {
  screen::ScreenGrid grid;
  grid.ClearScreen();
  for (const auto& line : lines) grid.Write(line + "\r\n");
  return grid;
}

screen::ScreenGrid FirstHelpKeyScreen(const media::Medium& files, const std::string& configName,
                                      const std::string& target) {
  const ConfigurationReport scan = ScanConfiguration(files, configName);
  if (!scan.Display.Name.empty()) return FileOrNotFound(files, scan.Display.Name);
  return LinesScreen(NoSplashNotice(files, scan, target));
}

std::vector<TourScreen> WalkTour(const media::Medium& files, const std::string& configName,
                                 bool menus, const std::vector<TourStep>& steps,
                                 const std::string& target) {
  std::vector<TourScreen> screens;
  Walk walk(files, menus, target);
  std::vector<std::string> events;
  walk.Start(configName, events);
  screens.push_back(walk.Taken("00-boot", std::move(events)));
  for (std::size_t i = 0; i < steps.size(); ++i) {
    events.clear();
    const std::string stem = Numbered(i + 1, steps[i].Name);
    if (!walk.Step(steps[i], events)) {
      screens.push_back(walk.Taken(stem, {"x ends the help-key menu: the tour ends here"}));
      break;
    }
    screens.push_back(walk.Taken(stem, std::move(events)));
  }
  return screens;
}

}  // namespace vestalo::tools
