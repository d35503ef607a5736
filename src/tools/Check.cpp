#include "tools/Check.h"

#include <algorithm>
#include <optional>

#include "base/InOutError.h"
#include "base/OutputStream.h"
#include "config/Configuration.h"
#include "media/Medium.h"
#include "media/MediumPaths.h"
#include "tools/Finding.h"
#include "tools/MediumScreens.h"
#include "tools/MenuCheck.h"
#include "tools/ScreenCheck.h"

namespace vestalo::tools {

namespace {

void Append(std::vector<Finding>& findings, std::vector<Finding> more) {
  findings.insert(findings.end(), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
}

// Where both isolinux.cfg and syslinux.cfg are there, each loader reads its own: the check
// read one, and the user learns how to check the other.
std::optional<Finding> OtherConfigurationFinding(const ToolTarget& target) {
  const media::Medium& files = target.Files;
  const std::string& other = files.OtherConfiguration();
  if (other.empty() || target.ConfigName != files.StartConfiguration()) return std::nullopt;
  const bool isolinuxRead = media::FoldedCase(target.ConfigName) == "isolinux.cfg";
  return Finding{files.PathForUser(other), 0, 0, false,
                 std::string("not checked: this check read ") + target.ConfigName + ", which " +
                     (isolinuxRead ? "ISOLINUX reads on a CD; SYSLINUX on a disk or USB stick"
                                   : "SYSLINUX reads on a disk or USB stick; ISOLINUX on a CD") +
                     " reads " + other + " (vestalo -c " + other +
                     " shows it, and vestalo --check -c " + other + " checks it)"};
}

std::vector<Finding> CheckMedium(const ToolTarget& target) {
  if (auto missing = MissingConfiguration(target)) return {*missing};
  ConfigurationReport report;
  try {
    report = ScanConfiguration(target.Files, target.ConfigName, true);
  } catch (const EInOutError& failure) {
    // The configuration itself: nothing more to check.
    return {{target.Files.PathForUser(target.ConfigName), 0, 0, true,
             "configuration file cannot be read: " + failure.Message}};
  }
  std::vector<Finding> findings = CheckReport(target.Files, report);
  if (target.Menus) Append(findings, CheckMenus(target.Files, target.ConfigName));
  if (auto other = OtherConfigurationFinding(target)) findings.push_back(*other);
  return findings;
}

// The same finding twice (a file in two roles, a file the menu and the configuration both
// name) is told once, where it was first found.
std::vector<Finding> TellingOnce(const std::vector<Finding>& findings) {
  std::vector<Finding> once;
  for (const auto& finding : findings)
    if (std::find_if(once.begin(), once.end(), [&](const Finding& told) {
          return FormatFinding(told) == FormatFinding(finding);
        }) == once.end())
      once.push_back(finding);
  return once;
}

}  // namespace

namespace {

// What an include line that was not followed does at boot.
struct StopMessage {
  IncludeStop Stop;
  const char* Message;
};

constexpr StopMessage StopMessages[] = {
    {IncludeStop::Loop, " includes itself again; the boot loader stops responding on it"},
    {IncludeStop::TooDeep,
     " is nested more than 101 levels deep; the boot loader stops responding on it"},
    {IncludeStop::TooMany,
     " was not read: the configuration follows too many include lines to check"},
};

}  // namespace

std::vector<Finding> CheckReport(const media::Medium& files, const ConfigurationReport& report) {
  std::vector<Finding> findings;
  for (const auto& include : report.Includes) {
    if (!include.Found)
      findings.push_back(
          FindingAt(files, include.Place, true, "include file " + include.Name + " is missing"));
    for (const auto& stop : StopMessages)
      if (include.Found && include.Stopped == stop.Stop)
        findings.push_back(
            FindingAt(files, include.Place, true, "include file " + include.Name + stop.Message));
    if (include.Stopped == IncludeStop::Unreadable)
      findings.push_back(
          FindingAt(files, include.Place, true,
                    "include file " + include.Name + " cannot be read: " + include.Failure));
  }
  for (const auto& screen : ScreensOf(files, report, true)) {
    const std::string& name = screen.File.Name;
    if (!files.FileIsPresent(name)) {
      findings.push_back(
          FindingAt(files, screen.File.Place, true, screen.Key + " file " + name + " is missing"));
      continue;
    }
    // A file that cannot be read is a finding like any other; the others are still checked.
    std::string bytes;
    try {
      bytes = files.LoadFileBytes(name);
    } catch (const EInOutError& failure) {
      findings.push_back(
          FindingAt(files, screen.File.Place, true,
                    screen.Key + " file " + name + " cannot be read: " + failure.Message));
      continue;
    }
    Append(findings, CheckScreenText(files.PathForUser(name), bytes, screen.Role));
  }
  return findings;
}

int RunCheck(const ToolTarget& target) {
  const std::vector<Finding> findings = TellingOnce(
      target.ScreenFile.empty()
          ? CheckMedium(target)
          : CheckScreenText(target.ScreenFile, target.Files.LoadFileBytes(target.ScreenFile),
                            ScreenRole::Screen));
  // Lines for editors, CI logs and grep: ended as the platform ends lines in files.
  for (const auto& finding : findings) WriteReportLine(FormatFinding(finding));
  return findings.empty() ? 0 : 2;
}

}  // namespace vestalo::tools
