#include "tools/MediumScreens.h"

#include <algorithm>

#include "media/FileAccess.h"
#include "media/Medium.h"
#include "media/MediumPaths.h"
#include "tools/Finding.h"

namespace vestalo::tools {

std::vector<NamedScreen> ScreensOf(const ConfigurationReport& report) {
  std::vector<NamedScreen> screens;
  auto add = [&](const NamedFile& file, std::string key, ScreenRole role) {
    if (file.Name.empty()) return;
    // F-keys often share a file; letter case does not tell files apart on the medium,
    // whether or not the computer's file system tells them apart.
    const std::string onDisk = media::FoldedCase(NameOnDisk(file.Name));
    for (const auto& screen : screens)
      if (media::FoldedCase(NameOnDisk(screen.File.Name)) == onDisk) return;
    screens.push_back({file, std::move(key), role});
  };
  add(report.Display, "display", ScreenRole::Splash);
  for (int key = 1; key <= HelpFileCount; ++key) {
    const auto index = static_cast<size_t>(key);
    std::string keyName = "F";  // built in place: GCC 12 warns of overlaps (-Wrestrict) in "F" + number
    keyName += std::to_string(key);
    add(report.Help[index], std::move(keyName), ScreenRole::Help);
  }
  return screens;
}

Finding FindingAt(const ConfigurationPlace& place, bool error, std::string message) {
  return {media::PathForUser(place.File), place.Line, place.Column, error, std::move(message)};
}

}  // namespace vestalo::tools
