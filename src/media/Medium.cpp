#include "media/Medium.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "base/InOutError.h"
#include "base/TextEnd.h"
#include "media/FolderMedium.h"
#include "media/ImageMedium.h"
#include "media/MediumPaths.h"

namespace vestalo::media {

namespace {

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
  return in.gcount() == static_cast<std::streamsize>(sizeof id) &&
         std::string_view(id, sizeof id) == IsoStandardId;
}

}  // namespace

bool Medium::FileIsPresent(const std::string& name) const {
  return !name.empty() && name.size() <= MaxNameLength && Lookup(name);
}

void Medium::ReadFilePieces(const std::string& name, const PieceTaker& take,
                            const SizeTaker& sized) const {
  std::size_t total = 0;
  // The same limit for every kind of medium: no file is read without end, and one known to
  // be too large is refused before it is read.
  const auto limited = [&](std::string_view piece) {
    total += piece.size();
    if (total > MaxTextSize) ReportIOFailure(ErrorCode::FileTooLarge);
    return take(piece);
  };
  const auto sizeKnown = [&](std::size_t size) {
    if (size > MaxTextSize) ReportIOFailure(ErrorCode::FileTooLarge);
    if (sized) sized(size);
  };
  ReadPieces(name, limited, sizeKnown);
}

std::string Medium::LoadWholeFile(const std::string& name) const {
  std::string text;
  ReadFilePieces(
      name,
      [&](std::string_view piece) {
        const std::size_t end = ScreenTextEnd(piece);
        text.append(piece.data(), end);
        return end == piece.size();
      },
      [&](std::size_t size) { text.reserve(size); });
  return text;
}

std::string Medium::LoadFileBytes(const std::string& name) const {
  std::string bytes;
  ReadFilePieces(
      name,
      [&](std::string_view piece) {
        bytes.append(piece);
        return true;
      },
      [&](std::size_t size) { bytes.reserve(size); });
  return bytes;
}

std::string Medium::PathOnMedium(const std::string& name) const {
  return MediumPath(BootFolder, name);
}

std::string Medium::PathOnComputer(const std::string&) const { return {}; }

std::string Medium::NameOfComputerPath(const std::string&) const { return {}; }

std::string Medium::ConfigurationIn(const std::string& folder) {
  std::vector<std::string> found;
  for (const char* name : ConfigurationNames)
    if (FileIsPresent(JoinPath(folder, name))) found.push_back(name);
  Other.clear();
  if (found.empty()) return {};
  if (found.size() == 1) return found.front();
  const bool isolinux = BootsWithIsolinux(folder);
  Other = isolinux ? found.back() : found.front();
  return isolinux ? found.front() : found.back();
}

// An image boots from a CD with ISOLINUX, and so does a medium in memory, which stands for one.
bool Medium::BootsWithIsolinux(const std::string&) const { return true; }

bool Medium::FindBootFolder(const std::function<std::string(const std::string& place)>& spelled) {
  for (std::string_view place : BootFolderPlaces) {
    Start = ConfigurationIn(std::string(place));
    if (Start.empty()) continue;
    BootFolder = spelled(std::string(place));
    return true;
  }
  Start = ConfigurationIn("");
  return !Start.empty();
}

TargetKind KindOfTarget(const std::string& target) {
  std::error_code error;
  if (std::filesystem::is_directory(target, error)) return TargetKind::Folder;
  return HasIsoVolumeDescriptor(target) ? TargetKind::Image : TargetKind::ScreenFile;
}

std::unique_ptr<Medium> OpenMedium(const std::string& target) {
  if (!target.empty() && KindOfTarget(target) == TargetKind::Image)
    return std::make_unique<ImageMedium>(target);
  return std::make_unique<FolderMedium>(target);
}

std::unique_ptr<Medium> ComputerFiles() { return std::make_unique<FolderMedium>(); }

}  // namespace vestalo::media
