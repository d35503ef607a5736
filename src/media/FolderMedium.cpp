#include "media/FolderMedium.h"

#include <filesystem>
#include <system_error>

#include "base/InOutError.h"
#include "base/Platform.h"
#include "media/ComputerFile.h"
#include "media/MediumPaths.h"

namespace vestalo::media {

namespace {

bool HasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// Any modification time will do: files dated 1970 come out of reproducible builds.
bool LookupSucceeds(const platform::SearchResult& result) {
  return result.Found && !result.IsDirectory;
}

// `path` without the folder `prefix` in front of it ("" when it is not there).
std::string Within(const std::string& prefix, const std::string& path) {
  if (prefix.empty()) return path;
  const std::string folder = prefix.back() == '/' ? prefix : prefix + "/";
  return path.rfind(folder, 0) == 0 ? path.substr(folder.size()) : std::string();
}

}  // namespace

FolderMedium::FolderMedium(const std::string& target)
    : IsMedium(true), Base(target), UserRoot(target) {
  if (!target.empty())
    if (int error = platform::EnterableFolder(target)) ReportIOFailure(error);
  Start = ConfigurationIn("");
  if (!Start.empty()) {
    // Started in the boot folder: the medium's root is above it when it stands at one of
    // the loader's places.
    std::error_code error;
    const auto here = std::filesystem::canonical(target.empty() ? "." : target, error);
    BootFolder = error ? std::string() : PlaceOfFolder(here.generic_string());
    UserRoot = JoinPath(target, RelativeToFolder(BootFolder, ""));
    return;
  }
  if (FindBootFolder([&](const std::string& place) { return FromBootFolder(place); }))
    Base = JoinPath(target, BootFolder);
}

std::string FolderMedium::PathOnMedium(const std::string& name) const {
  return IsMedium ? Medium::PathOnMedium(name) : name;
}

std::string FolderMedium::FromBootFolder(const std::string& name) const {
  const std::string path = IsMedium ? RelativeToFolder(BootFolder, PathOnMedium(name)) : name;
  if (HasWildcards(path)) return path;
  const std::string spelled = Within(Base, platform::ResolveLetterCase(JoinPath(Base, path)));
  return spelled.empty() ? path : spelled;
}

std::string FolderMedium::NameOnDisk(const std::string& name) const {
  return JoinPath(Base, FromBootFolder(name));
}

std::string FolderMedium::PathOnComputer(const std::string& name) const { return NameOnDisk(name); }

std::string FolderMedium::NameOfComputerPath(const std::string& path) const {
  if (!IsMedium) return {};
  std::error_code error;
  const auto root = std::filesystem::canonical(UserRoot.empty() ? "." : UserRoot, error);
  if (error) return {};
  const auto file = std::filesystem::weakly_canonical(path, error);
  if (error) return {};
  const std::filesystem::path inside = file.lexically_relative(root);
  if (inside.empty() || *inside.begin() == "..") return {};
  std::string name =
      "/";  // built in place: GCC 12 for Windows warns of overlaps (-Wrestrict) in "/" + string
  name += inside.generic_string();
  return name;
}

std::string FolderMedium::PathForUser(const std::string& name) const {
  if (!IsMedium) return name;
  // A file in the boot folder is shown from there, any other from the medium's root; both
  // as spelled on disk.
  const std::string fromBoot = FromBootFolder(name);
  const std::string up = RelativeToFolder(BootFolder, "");
  if (up.empty() || fromBoot.rfind(up + "/", 0) != 0) return JoinPath(Base, fromBoot);
  return JoinPath(UserRoot, fromBoot.substr(up.size() + 1));
}

std::string FolderMedium::FileStamp(const std::string& name) const {
  return FileIsPresent(name) ? ComputerFileStamp(NameOnDisk(name)) : std::string();
}

bool FolderMedium::BootsWithIsolinux(const std::string& folder) const {
  return FileIsPresent(JoinPath(folder, "isolinux.bin"));
}

bool FolderMedium::Lookup(const std::string& name) const {
  const std::string pattern = FromBootFolder(name);
  if (LookupSucceeds(platform::FindFirstIn(Base, pattern))) return true;
  // The computer's files are looked for once more in the current folder's full path.
  return !IsMedium && !platform::IsAbsolute(pattern) &&
         LookupSucceeds(platform::FindFirst(platform::JoinToCurrentDirectory(pattern)));
}

void FolderMedium::ReadPieces(const std::string& name, const PieceTaker& take,
                              const SizeTaker& sized) const {
  ReadComputerFile(NameOnDisk(name), take, sized);
}

}  // namespace vestalo::media
