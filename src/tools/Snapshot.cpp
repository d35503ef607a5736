#include "tools/Snapshot.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "UTypes/UTypes.h"
#include "config/Configuration.h"
#include "media/FileAccess.h"
#include "base/InOutError.h"
#include "base/OutputStream.h"
#include "base/Platform.h"
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

Plan PlanMedium(const ToolTarget& options) {
  Plan plan;
  const std::string configName = media::OpenMedium(options.Target, options.ConfigName);
  if (configName.empty() || !FileIsPresent(configName)) {
    const std::string name = configName.empty() ? "isolinux.cfg" : configName;
    plan.Missing.push_back({media::PathForUser(name), 0, 0, true,
                            configName.empty() ? "no configuration file: neither isolinux.cfg nor syslinux.cfg is there"
                                               : "configuration file is missing"});
    return plan;
  }
  const ConfigurationReport report = ScanConfiguration(configName);
  plan.MediumFiles = report.FilesRead;
  for (const auto& include : report.Includes) plan.MediumFiles.push_back(include.Name);
  for (const auto& screen : ScreensOf(report)) {
    const std::string& name = screen.File.Name;
    plan.MediumFiles.push_back(name);
    if (FileIsPresent(name)) plan.Screens.push_back({name, {}});
    else plan.Missing.push_back(FindingAt(screen.File.Place, true, screen.Key + " file " + name + " is missing; it has no snapshot"));
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
std::string ReplacedFile(const Plan& plan, const fs::path& folder) {
  for (const auto& screen : plan.Screens)
    for (const char* extension : Extensions)
      for (const auto& file : plan.MediumFiles) {
        std::error_code error;
        if (fs::equivalent(folder / (screen.Stem + extension), NameOnDisk(file), error))
          return (fs::path(screen.Stem + extension)).string() + " would replace " + media::PathForUser(file);
      }
  return {};
}

void Write(const fs::path& path, std::string_view bytes) {
  if (int error = platform::WriteWholeFile(path.string(), bytes)) ReportIOFailure(error);
}

// Draws one screen and writes its snapshots; returns the names written, for the user.
std::string WriteSnapshots(const Planned& screen, const fs::path& folder, const fs::path& shownFolder,
                           std::string& pictureProblem) {
  screen::ScreenGrid grid;
  UTypes::RenderDisplayText(LoadWholeFile(screen.Name), grid);
  const std::string outputs[] = {SnapshotText(grid), SnapshotAnsi(grid), SnapshotHtml(grid, screen.Name),
                                 PngPicture(grid, pictureProblem)};
  std::string written;
  for (size_t i = 0; i < std::size(Extensions); ++i) {
    if (outputs[i].empty()) continue;
    Write(folder / (screen.Stem + Extensions[i]), outputs[i]);
    written += (written.empty() ? " " : ", ") + (shownFolder / (screen.Stem + Extensions[i])).string();
  }
  return written;
}

}  // namespace

int RunSnapshot(const ToolTarget& options, const std::string& snapshotFolder) {
  const bool oneFile = !options.Target.empty() && media::KindOfTarget(options.Target) == media::TargetKind::ScreenFile;
  // Taken before the medium is opened, which may change the current folder.
  std::error_code error;
  const fs::path folder = fs::absolute(snapshotFolder, error);
  Plan plan;
  if (oneFile) {
    plan.Screens.push_back({options.Target, {}});
    plan.MediumFiles.push_back(options.Target);
  } else {
    plan = PlanMedium(options);
  }
  NameSnapshots(plan);
  if (const std::string replaced = ReplacedFile(plan, folder); !replaced.empty()) {
    TellUser("vestalo: nothing written: the snapshot " + replaced + " of the boot medium; choose another folder");
    return 1;
  }
  if (!plan.Screens.empty())
    if (int failure = platform::CreateFolder(folder.string())) ReportIOFailure(failure);
  std::string pictureProblem;
  for (const auto& screen : plan.Screens) {
    const std::string written = WriteSnapshots(screen, folder, snapshotFolder, pictureProblem);
    WriteReportLine(media::PathForUser(screen.Name) + ":" + written);
  }
  if (!pictureProblem.empty()) TellUser("vestalo: no PNG pictures: " + pictureProblem);
  for (const auto& missing : plan.Missing) TellUser(FormatFinding(missing));
  return plan.Missing.empty() ? 0 : 2;
}

}  // namespace vestalo::tools
