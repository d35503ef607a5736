#include "tools/Snapshot.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "UTypes/UTypes.h"
#include "base/InOutError.h"
#include "base/OutputStream.h"
#include "base/Platform.h"
#include "config/Configuration.h"
#include "media/Medium.h"
#include "screen/ScreenGrid.h"
#include "tools/MediumScreens.h"
#include "tools/PngPicture.h"
#include "tools/SnapshotFormats.h"

namespace vestalo::tools {

namespace {

namespace fs = std::filesystem;

const char* const Extensions[] = {".txt", ".ans", ".html", ".png"};

// A screen to draw, and the name its snapshots take.
struct Planned {
  std::string Name;
  std::string Stem;
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
  for (const auto& screen : ScreensOf(files, report)) {
    const std::string& name = screen.File.Name;
    plan.MediumFiles.push_back(name);
    if (files.FileIsPresent(name)) plan.Screens.push_back({name, {}});
    else
      plan.Missing.push_back(
          FindingAt(files, screen.File.Place, true,
                    screen.Key + " file " + name + " is missing; it has no snapshot"));
  }
  return plan;
}

// Snapshots are named after their screen files without the extension; a second file of the
// same name (another folder, another extension) gets a number.
void NameSnapshots(Plan& plan) {
  std::vector<std::string> taken;
  for (auto& screen : plan.Screens) {
    const std::string stem = fs::path(screen.Name).stem().string();
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

// Draws one screen and writes its snapshots; returns the names written, for the user.
std::string WriteSnapshots(const media::Medium& files, const Planned& screen,
                           const fs::path& folder, const fs::path& shownFolder,
                           std::string& pictureProblem) {
  screen::ScreenGrid grid;
  UTypes::RenderDisplayText(files.LoadWholeFile(screen.Name), grid);
  const std::string outputs[] = {SnapshotText(grid), SnapshotAnsi(grid),
                                 SnapshotHtml(grid, screen.Name), PngPicture(grid, pictureProblem)};
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
  if (!target.ScreenFile.empty()) {
    plan.Screens.push_back({target.ScreenFile, {}});
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
    WriteReportLine(target.Files.PathForUser(screen.Name) + ":" + written);
  }
  if (!pictureProblem.empty()) TellUser("vestalo: no PNG pictures: " + pictureProblem);
  for (const auto& missing : plan.Missing) TellUser(FormatFinding(missing));
  return plan.Missing.empty() ? 0 : 2;
}

}  // namespace vestalo::tools
