#include "media/Medium.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "media/FileAccess.h"
#include "base/InOutError.h"
#include "media/Image.h"
#include "media/MediumPaths.h"

namespace vestalo::media {

namespace {

enum class MediumKind { None, Folder, Image };

struct OpenState {
  MediumKind Kind = MediumKind::None;
  std::string BootFolder;   // from the medium's root, spelled as on the medium; "" = the root
  std::string UserBoot;     // the boot folder as the user reaches it from the starting folder
  std::string UserRoot;     // the medium's root, likewise
  std::string Image;        // the image file as named on the command line
  std::filesystem::path StartFolder;
};

OpenState State;

// Configuration files in the order they are probed in one folder; a later one found wins.
constexpr std::array<const char*, 2> ConfigurationNames{"isolinux.cfg", "syslinux.cfg"};

// An ISO 9660 volume descriptor starts at byte 32768 (sector 16) with its type and "CD001";
// a hybrid image has its partition table before it, which changes nothing here.
constexpr std::streamoff DescriptorOffset = 32769;
constexpr std::string_view IsoStandardId = "CD001";

bool HasIsoVolumeDescriptor(const std::string& target) {
  std::error_code error;
  // Only a plain file is looked into: a FIFO would block, and what it held would be lost
  // for the screen file it may be.
  if (!std::filesystem::is_regular_file(target, error)) return false;
  std::ifstream in(target, std::ios::binary);
  char id[5] = {};
  in.seekg(DescriptorOffset);
  in.read(id, sizeof id);
  return in.gcount() == static_cast<std::streamsize>(sizeof id) && std::string_view(id, sizeof id) == IsoStandardId;
}

// The configuration the loader would start from in `folder` (a path on the medium from the
// current boot folder); empty when it holds none.
std::string ConfigurationIn(const std::string& folder) {
  std::string found;
  for (const char* name : ConfigurationNames)
    if (FileIsPresent(JoinPath(folder, name))) found = name;
  return found;
}

int CodeForFolderError(const std::error_code& error) {
  if (error == std::errc::permission_denied) return ErrorCode::AccessDenied;
  if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
    return ErrorCode::PathNotFound;
  return ErrorCode::PlatformBase + error.value();
}

// Works in a boot folder as if the program had been started there, so that its names
// stay as they are written.
void EnterFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::current_path(folder, error);
  if (error) ReportIOFailure(CodeForFolderError(error));
}

std::string OpenFolderMedium(const std::string& target) {
  std::error_code error;
  State.StartFolder = std::filesystem::current_path(error);
  State.Kind = MediumKind::Folder;
  if (!target.empty()) EnterFolder(target);
  std::string config = ConfigurationIn("");
  if (!config.empty()) {
    // Started in the boot folder: the medium's root is above it when it stands at one of
    // the loader's places.
    const std::string here = std::filesystem::current_path(error).generic_string();
    State.BootFolder = error ? std::string() : PlaceOfFolder(here);
    State.UserBoot = target;
    State.UserRoot = JoinPath(target, RelativeToFolder(State.BootFolder, ""));
    return config;
  }
  State.UserBoot = State.UserRoot = target;
  for (std::string_view place : BootFolderPlaces) {
    config = ConfigurationIn(std::string(place));
    if (config.empty()) continue;
    const std::string spelled = NameOnDisk(std::string(place));
    EnterFolder(spelled);
    State.BootFolder = spelled;
    State.UserBoot = JoinPath(target, spelled);
    return config;
  }
  return {};
}

std::string OpenImageMedium(const std::string& target) {
  State.Kind = MediumKind::Image;
  State.Image = target;
  OpenImage(target);
  // Inside an image there is no current folder: the loader's places in its order, the root last.
  for (std::string_view place : BootFolderPlaces) {
    const std::string config = ConfigurationIn(std::string(place));
    if (config.empty()) continue;
    State.BootFolder = FindInImage(place).Spelling;
    return config;
  }
  return ConfigurationIn("");
}

}  // namespace

TargetKind KindOfTarget(const std::string& target) {
  std::error_code error;
  if (std::filesystem::is_directory(target, error)) return TargetKind::Folder;
  return HasIsoVolumeDescriptor(target) ? TargetKind::Image : TargetKind::ScreenFile;
}

std::string OpenMedium(const std::string& target, const std::string& configOption) {
  CloseMedium();
  const bool image = !target.empty() && KindOfTarget(target) == TargetKind::Image;
  const std::string config = image ? OpenImageMedium(target) : OpenFolderMedium(target);
  return configOption.empty() ? config : configOption;
}

void CloseMedium() {
  if (State.Kind == MediumKind::Folder && !State.StartFolder.empty()) {
    std::error_code ignored;  // the folder may be gone; nothing more can be done about it
    std::filesystem::current_path(State.StartFolder, ignored);
  }
  CloseImage();
  State = OpenState();
}

bool MediumIsImage() { return State.Kind == MediumKind::Image; }

std::string PathOnMedium(const std::string& name) {
  if (State.Kind == MediumKind::None) return name;
  return MediumPath(State.BootFolder, name);
}

std::string PathOnComputer(const std::string& name) {
  if (State.Kind == MediumKind::None) return name;
  return RelativeToFolder(State.BootFolder, MediumPath(State.BootFolder, name));
}

std::string PathForUser(const std::string& name) {
  const std::string onMedium = PathOnMedium(name);
  switch (State.Kind) {
    case MediumKind::None:
      return name;
    case MediumKind::Image: {
      const ImageEntry entry = FindInImage(onMedium);
      return State.Image + ":/" + (entry.Found ? entry.Spelling : onMedium);
    }
    case MediumKind::Folder:
      break;
  }
  // A file in the boot folder is shown from there, any other from the medium's root; both
  // as spelled on disk.
  const std::string onComputer = NameOnDisk(name);
  const std::string up = RelativeToFolder(State.BootFolder, "");
  if (up.empty() || onComputer.rfind(up + "/", 0) != 0) return JoinPath(State.UserBoot, onComputer);
  return JoinPath(State.UserRoot, onComputer.substr(up.size() + 1));
}

std::string FileStamp(const std::string& name) {
  if (!FileIsPresent(name)) return {};
  const std::string path = MediumIsImage() ? State.Image : NameOnDisk(name);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return {};
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return {};
  return std::to_string(size) + ":" + std::to_string(time.time_since_epoch().count());
}

}  // namespace vestalo::media
