#include "tools/MediumScreens.h"

#include <algorithm>

#include "main/FileAccess.h"
#include "main/ProgramState.h"
#include "media/Medium.h"
#include "media/MediumPaths.h"
#include "tools/Finding.h"

namespace vestalo::tools {

namespace {

// A binding as the scan reported it. A scan that records no place for a value it bound
// still names the file: the configuration itself is then its place.
NamedFile Bound(const NamedFile& reported, const std::string& value, const std::string& configName) {
  if (reported.Place.Line > 0 || value.empty()) return reported;
  NamedFile bound;
  bound.Place.File = configName;
  bound.Name = value;
  return bound;
}

}  // namespace

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
  add(Bound(report.Display, DisplayFile, report.ConfigName), "display", ScreenRole::Splash);
  for (int key = 1; key <= HelpFileCount; ++key) {
    const auto index = static_cast<size_t>(key);
    std::string keyName = "F";  // built in place: GCC 12 warns of overlaps (-Wrestrict) in "F" + number
    keyName += std::to_string(key);
    add(Bound(report.Help[index], HelpFiles[index], report.ConfigName), std::move(keyName), ScreenRole::Help);
  }
  return screens;
}

Finding FindingAt(const ConfigurationPlace& place, bool error, std::string message) {
  return {media::PathForUser(place.File), place.Line, place.Column, error, std::move(message)};
}

}  // namespace vestalo::tools
