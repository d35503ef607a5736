#include "tools/Check.h"

#include "config/Configuration.h"
#include "media/FileAccess.h"
#include "base/OutputStream.h"
#include "media/Medium.h"
#include "tools/Finding.h"
#include "tools/MediumScreens.h"
#include "tools/ScreenCheck.h"

namespace vestalo::tools {

namespace {

void Append(std::vector<Finding>& findings, std::vector<Finding> more) {
  findings.insert(findings.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

std::vector<Finding> CheckMedium(const ToolTarget& options) {
  const std::string configName = media::OpenMedium(options.Target, options.ConfigName);
  // Without a configuration the boot loader shows no screen at all: that is the finding.
  if (configName.empty())
    return {{media::PathForUser("isolinux.cfg"), 0, 0, true,
             "no configuration file: neither isolinux.cfg nor syslinux.cfg is there"}};
  if (!FileIsPresent(configName)) return {{media::PathForUser(configName), 0, 0, true, "configuration file is missing"}};
  return CheckReport(ScanConfiguration(configName));
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
    {IncludeStop::TooDeep, " is nested more than 101 levels deep; the boot loader stops responding on it"},
    {IncludeStop::TooMany, " was not read: the configuration follows too many include lines to check"},
};

}  // namespace

std::vector<Finding> CheckReport(const ConfigurationReport& report) {
  std::vector<Finding> findings;
  for (const auto& include : report.Includes) {
    if (!include.Found) findings.push_back(FindingAt(include.Place, true, "include file " + include.Name + " is missing"));
    for (const auto& stop : StopMessages)
      if (include.Found && include.Stopped == stop.Stop)
        findings.push_back(FindingAt(include.Place, true, "include file " + include.Name + stop.Message));
  }
  for (const auto& screen : ScreensOf(report)) {
    const std::string& name = screen.File.Name;
    if (!FileIsPresent(name)) {
      findings.push_back(FindingAt(screen.File.Place, true, screen.Key + " file " + name + " is missing"));
      continue;
    }
    Append(findings, CheckScreenText(media::PathForUser(name), LoadFileBytes(name), screen.Role));
  }
  return findings;
}

int RunCheck(const ToolTarget& options) {
  const bool oneFile = !options.Target.empty() && media::KindOfTarget(options.Target) == media::TargetKind::ScreenFile;
  const std::vector<Finding> findings =
      oneFile ? CheckScreenText(options.Target, LoadFileBytes(options.Target), ScreenRole::Screen) : CheckMedium(options);
  // Lines for editors, CI logs and grep: ended as the platform ends lines in files.
  for (const auto& finding : findings) WriteReportLine(FormatFinding(finding));
  return findings.empty() ? 0 : 2;
}

}  // namespace vestalo::tools
