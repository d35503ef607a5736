#include "tools/Snapshot.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "UTypes/UTypes.h"
#include "base/InOutError.h"
#include "base/OutputStream.h"
#include "base/Platform.h"
#include "config/Configuration.h"
#include "media/Medium.h"
#include "menu/Session.h"
#include "menu/Start.h"
#include "screen/ColourScreen.h"
#include "screen/ScreenGrid.h"
#include "tools/MediumScreens.h"
#include "tools/Notice.h"
#include "tools/PngPicture.h"
#include "tools/SnapshotFormats.h"
#include "tools/Tour.h"

namespace vestalo::tools {

namespace {

namespace fs = std::filesystem;

const char* const Extensions[] = {".txt", ".ans", ".html", ".png"};

// A screen to draw, and the name its snapshots take.
struct Planned {
  std::string Name;  // the medium's screen file; empty for a screen drawn already
  std::string Stem;
  std::string Said;                        // how the run names it to the user
  std::optional<screen::ScreenGrid> Grid;  // a menu, the notice, a tour's step
  std::vector<std::string> Events;         // told after its files: what a tour's step did
  // The graphical menu's screen: the picture and its cells, written instead of Grid.
  std::optional<screen::GraphicalScreen> Graphics{};
};

// What the run works on: the screens, and every file of the medium that must stay as it is.
struct Plan {
  std::vector<Planned> Screens;
  std::vector<std::string> MediumFiles;
  std::vector<Finding> Missing;
};

void TellUser(const std::string& line) {
  FlushOutput();
  const std::string text = line + platform::LineBreak;
  platform::WriteStandard(2, text.data(), text.size());
}

// A menu's tag as part of a file name: letters, digits, "-", "_" and "." kept.
std::string FileNamePart(const std::string& tag) {
  std::string part = tag;
  for (char& c : part)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') c = '_';
  return part;
}

// Every menu of the configuration: the top one as it first shows (its countdown at its first
// value), then each submenu as it shows when entered. The graphical menu's as the loader
// draws it, at its resolution.
void PlanMenus(const media::Medium& files, const menu::MenuStart& start, Plan& plan) {
  menu::Session session(files, start);
  session.Elapse(0);
  const bool graphics = session.ShowsGraphics();
  const std::string where = files.PathForUser(start.StartConfig) +
                            (graphics ? ", " + GraphicsShown(start.ModuleName, session) : "");
  auto take = [&](std::string stem, std::string said) {
    Planned planned{{}, std::move(stem), std::move(said), session.Screen(), {}};
    if (graphics) planned.Graphics = session.Graphics();
    plan.Screens.push_back(std::move(planned));
  };
  take("menu", "menu (" + where + ")");
  const std::vector<std::string> names = session.MenuNames();
  for (std::size_t m = 1; m < names.size(); ++m) {
    session.Open(names[m]);
    take("menu-" + FileNamePart(names[m]), "menu " + names[m] + " (" + where + ")");
  }
  for (const auto& file : session.Menus().FilesRead) plan.MediumFiles.push_back(file);
}

Plan PlanMedium(const ToolTarget& target) {
  Plan plan;
  if (auto missing = MissingConfiguration(target)) {
    plan.Missing.push_back(*missing);
    return plan;
  }
  const media::Medium& files = target.Files;
  const ConfigurationReport report = ScanConfiguration(files, target.ConfigName);
  plan.MediumFiles = report.FilesRead;
  for (const auto& include : report.Includes) plan.MediumFiles.push_back(include.Name);
  // The first screen a user sees: the menu, the splash, or the notice that stands in for it.
  const menu::MenuStart start =
      target.Menus ? menu::FindMenuStart(files, target.ConfigName) : menu::MenuStart{};
  if (start.Kind != menu::Module::None) PlanMenus(files, start, plan);
  else if (report.Display.Name.empty())
    plan.Screens.push_back(
        {{},
         "notice",
         "notice (" + files.PathForUser(target.ConfigName) + " has no splash screen)",
         LinesScreen(NoSplashNotice(files, report, target.MediumName)),
         {}});
  for (const auto& screen : ScreensOf(files, report)) {
    const std::string& name = screen.File.Name;
    plan.MediumFiles.push_back(name);
    if (files.FileIsPresent(name))
      plan.Screens.push_back({name, {}, files.PathForUser(name), {}, {}});
    else
      plan.Missing.push_back(
          FindingAt(files, screen.File.Place, true,
                    screen.Key + " file " + name + " is missing; it has no snapshot"));
  }
  return plan;
}

// A tour's screens; false, with the user told why, for a key name that is not known.
bool PlanTour(const ToolTarget& target, Plan& plan) {
  std::vector<TourStep> steps;
  for (const auto& item : target.Keys) {
    std::string unknown;
    const auto step = ReadTourStep(item, unknown);
    if (!step) {
      TellUser("vestalo: nothing written: --keys names an unknown key \"" + unknown +
               "\"; keys are named as QEMU names them (down, tab, ret, f1, a, shift-a, ctrl-p, "
               "down+down, text:abc, wait:1.5)");
      return false;
    }
    steps.push_back(*step);
  }
  if (!target.ScreenFile.empty()) {
    TellUser("vestalo: nothing written: --keys needs a boot medium, not a screen file");
    return false;
  }
  if (auto missing = MissingConfiguration(target)) {
    plan.Missing.push_back(*missing);
    return true;
  }
  plan.MediumFiles = ScanConfiguration(target.Files, target.ConfigName).FilesRead;
  for (auto& screen :
       WalkTour(target.Files, target.ConfigName, target.Menus, steps, target.MediumName)) {
    const std::string said =
        screen.Graphics ? screen.Stem + " (" + screen.Shows + ")" : screen.Stem;
    plan.Screens.push_back({{},
                            screen.Stem,
                            said,
                            std::move(screen.Grid),
                            std::move(screen.Events),
                            std::move(screen.Graphics)});
  }
  return true;
}

// Snapshots are named after their screen files without the extension; a second file of the
// same name (another folder, another extension, a menu's name) gets a number. Drawn screens
// keep their names: they come first.
void NameSnapshots(Plan& plan) {
  std::vector<std::string> taken;
  for (auto& screen : plan.Screens) {
    const std::string stem =
        screen.Name.empty() ? screen.Stem : fs::path(screen.Name).stem().string();
    screen.Stem = stem;
    for (int n = 2; std::find(taken.begin(), taken.end(), screen.Stem) != taken.end(); ++n)
      screen.Stem = stem + "-" + std::to_string(n);
    taken.push_back(screen.Stem);
  }
}

// The medium file a snapshot would replace, or empty when it replaces none.
std::string ReplacedFile(const media::Medium& files, const Plan& plan, const fs::path& folder) {
  for (const auto& screen : plan.Screens)
    for (const char* extension : Extensions)
      for (const auto& file : plan.MediumFiles) {
        std::error_code error;
        if (fs::equivalent(folder / (screen.Stem + extension), files.PathOnComputer(file), error))
          return (fs::path(screen.Stem + extension)).string() + " would replace " +
                 files.PathForUser(file);
      }
  return {};
}

void Write(const fs::path& path, std::string_view bytes) {
  if (int error = platform::WriteWholeFile(path.string(), bytes)) ReportIOFailure(error);
}

// The four files of one screen: text, ANSI colours, web page and picture ("": none).
std::vector<std::string> SnapshotFiles(const media::Medium& files, const Planned& screen,
                                       std::string& pictureProblem) {
  const std::string title = screen.Name.empty() ? screen.Said : screen.Name;
  if (screen.Graphics) {
    const screen::ColourGrid& cells = screen.Graphics->Cells;
    return {SnapshotText(cells), SnapshotAnsi(cells), SnapshotHtml(cells, title),
            PngPicture(screen.Graphics->Picture, pictureProblem)};
  }
  screen::ScreenGrid drawn;
  if (!screen.Grid) UTypes::RenderDisplayText(files.LoadWholeFile(screen.Name), drawn);
  const screen::ScreenGrid& grid = screen.Grid ? *screen.Grid : drawn;
  return {SnapshotText(grid), SnapshotAnsi(grid), SnapshotHtml(grid, title),
          PngPicture(grid, pictureProblem)};
}

// Draws one screen and writes its snapshots; returns the names written, for the user.
std::string WriteSnapshots(const media::Medium& files, const Planned& screen,
                           const fs::path& folder, const fs::path& shownFolder,
                           std::string& pictureProblem) {
  const std::vector<std::string> outputs = SnapshotFiles(files, screen, pictureProblem);
  std::string written;
  for (size_t i = 0; i < std::size(Extensions); ++i) {
    if (outputs[i].empty()) continue;
    Write(folder / (screen.Stem + Extensions[i]), outputs[i]);
    written +=
        (written.empty() ? " " : ", ") + (shownFolder / (screen.Stem + Extensions[i])).string();
  }
  return written;
}

}  // namespace

int RunSnapshot(const ToolTarget& target, const std::string& snapshotFolder) {
  std::error_code error;
  const fs::path folder = fs::absolute(snapshotFolder, error);
  if (fs::exists(folder, error) && !fs::is_directory(folder, error)) {
    TellUser("vestalo: nothing written: " + snapshotFolder +
             " is no folder; name a folder for the snapshots");
    return 1;
  }
  Plan plan;
  if (!target.Keys.empty()) {
    if (!PlanTour(target, plan)) return 1;
  } else if (!target.ScreenFile.empty()) {
    plan.Screens.push_back(
        {target.ScreenFile, {}, target.Files.PathForUser(target.ScreenFile), {}, {}});
    plan.MediumFiles.push_back(target.ScreenFile);
  } else {
    plan = PlanMedium(target);
  }
  NameSnapshots(plan);
  if (const std::string replaced = ReplacedFile(target.Files, plan, folder); !replaced.empty()) {
    TellUser("vestalo: nothing written: the snapshot " + replaced +
             " of the boot medium; choose another folder");
    return 1;
  }
  if (!plan.Screens.empty())
    if (int failure = platform::CreateFolder(folder.string())) ReportIOFailure(failure);
  std::string pictureProblem;
  for (const auto& screen : plan.Screens) {
    const std::string written =
        WriteSnapshots(target.Files, screen, folder, snapshotFolder, pictureProblem);
    WriteReportLine(screen.Said + ":" + written);
    for (const auto& event : screen.Events) WriteReportLine(screen.Stem + ": " + event);
  }
  if (!pictureProblem.empty()) TellUser("vestalo: no PNG pictures: " + pictureProblem);
  for (const auto& missing : plan.Missing) TellUser(FormatFinding(missing));
  return plan.Missing.empty() ? 0 : 2;
}

}  // namespace vestalo::tools
