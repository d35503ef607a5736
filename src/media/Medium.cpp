#include "media/Medium.h"

#include <filesystem>
#include <system_error>

#include "main/FileAccess.h"

namespace vestalo::media {

namespace {

// Configuration files in the order they are probed; a later one found wins.
const char* const ConfigurationNames[] = {"isolinux.cfg", "syslinux.cfg"};

}  // namespace

TargetKind KindOfTarget(const std::string& target) {
  std::error_code error;
  return std::filesystem::is_directory(target, error) ? TargetKind::Folder : TargetKind::ScreenFile;
}

std::string OpenMedium(const std::string& target, const std::string& configOption) {
  // A boot folder is worked in as if the program had been started there.
  if (!target.empty()) std::filesystem::current_path(target);
  if (!configOption.empty()) return configOption;
  std::string configName;
  for (const char* name : ConfigurationNames)
    if (FileIsPresent(name)) configName = name;
  return configName;
}

std::string PathForUser(const std::string& name) { return name; }

std::string FileStamp(const std::string& name) {
  std::error_code error;
  const auto size = std::filesystem::file_size(name, error);
  if (error) return {};
  const auto time = std::filesystem::last_write_time(name, error);
  if (error) return {};
  return std::to_string(size) + ":" + std::to_string(time.time_since_epoch().count());
}

}  // namespace vestalo::media
