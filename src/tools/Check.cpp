#include "tools/Check.h"

#include "base/InOutError.h"
#include "base/OutputStream.h"
#include "config/Configuration.h"
#include "media/Medium.h"
#include "tools/Finding.h"
#include "tools/MediumScreens.h"
#include "tools/ScreenCheck.h"

namespace vestalo::tools {

namespace {

void Append(std::vector<Finding>& findings, std::vector<Finding> more) {
  findings.insert(findings.end(), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
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
  return CheckReport(target.Files, report);
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
  for (const auto& screen : ScreensOf(files, report)) {
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
  const std::vector<Finding> findings =
      target.ScreenFile.empty()
          ? CheckMedium(target)
          : CheckScreenText(target.ScreenFile, target.Files.LoadFileBytes(target.ScreenFile),
                            ScreenRole::Screen);
  // Lines for editors, CI logs and grep: ended as the platform ends lines in files.
  for (const auto& finding : findings) WriteReportLine(FormatFinding(finding));
  return findings.empty() ? 0 : 2;
}

}  // namespace vestalo::tools
