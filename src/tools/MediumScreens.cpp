#include "tools/MediumScreens.h"

#include "media/MediumPaths.h"
#include "tools/Finding.h"

namespace vestalo::tools {

std::vector<NamedScreen> ScreensOf(const media::Medium& files, const ConfigurationReport& report,
                                   bool eachRole) {
  std::vector<NamedScreen> screens;
  auto add = [&](const NamedFile& file, std::string key, ScreenRole role) {
    if (file.Name.empty()) return;
    // F-keys often share a file; letter case does not tell files apart on the medium,
    // whether or not the computer's file system tells them apart.
    const std::string onDisk = media::FoldedCase(files.NameOnDisk(file.Name));
    for (const auto& screen : screens)
      if (media::FoldedCase(files.NameOnDisk(screen.File.Name)) == onDisk &&
          (!eachRole || screen.Role == role))
        return;
    screens.push_back({file, std::move(key), role});
  };
  add(report.Display, "display", ScreenRole::Splash);
  for (int key = 1; key <= HelpFileCount; ++key) {
    std::string keyName =
        "F";  // built in place: GCC 12 warns of overlaps (-Wrestrict) in "F" + number
    keyName += std::to_string(key);
    add(report.Help[static_cast<size_t>(key)], std::move(keyName), ScreenRole::Help);
  }
  return screens;
}

Finding FindingAt(const media::Medium& files, const ConfigurationPlace& place, bool error,
                  std::string message) {
  return {files.PathForUser(place.File), place.Line, place.Column, error, std::move(message)};
}

std::optional<Finding> MissingConfiguration(const ToolTarget& target) {
  if (target.ConfigName.empty())
    return Finding{target.Files.PathForUser("isolinux.cfg"), 0, 0, true,
                   "no configuration file: neither isolinux.cfg nor syslinux.cfg is there"};
  if (!target.Files.FileIsPresent(target.ConfigName))
    return Finding{target.Files.PathForUser(target.ConfigName), 0, 0, true,
                   "configuration file is missing"};
  return std::nullopt;
}

}  // namespace vestalo::tools
