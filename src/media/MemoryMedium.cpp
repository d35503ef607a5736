#include "media/MemoryMedium.h"

#include <functional>

#include "base/InOutError.h"
#include "media/MediumPaths.h"

namespace vestalo::media {

MemoryMedium::MemoryMedium(std::map<std::string, std::string> files, std::string label)
    : Files(std::move(files)), Label(std::move(label)) {
  FindBootFolder([&](const std::string& place) {
    bool folder = false;
    return Spelled(place, folder);
  });
}

std::string MemoryMedium::Spelled(const std::string& path, bool& isFolder) const {
  isFolder = false;
  if (path.empty()) {
    isFolder = true;
    return {};
  }
  std::string found;
  for (const auto& [stored, bytes] : Files) {
    if (stored == path) {
      isFolder = false;
      return stored;
    }
    if (found.empty() && SameIgnoringCase(stored, path)) found = stored;
    // A folder: the start of a stored path, up to one of its slashes.
    if (stored.size() > path.size() && stored[path.size()] == '/' &&
        SameIgnoringCase(stored.substr(0, path.size()), path) && found.empty()) {
      found = stored.substr(0, path.size());
      isFolder = true;
    }
  }
  return found;
}

std::string MemoryMedium::PathForUser(const std::string& name) const {
  return Label + ":/" + NameOnDisk(name);
}

std::string MemoryMedium::NameOnDisk(const std::string& name) const {
  bool folder = false;
  const std::string spelled = Spelled(PathOnMedium(name), folder);
  return spelled.empty() ? PathOnMedium(name) : spelled;
}

std::string MemoryMedium::FileStamp(const std::string& name) const {
  if (!FileIsPresent(name)) return {};
  const std::string& bytes = Files.at(NameOnDisk(name));
  return std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>{}(bytes));
}

bool MemoryMedium::Lookup(const std::string& name) const {
  bool folder = false;
  return !Spelled(PathOnMedium(name), folder).empty() && !folder;
}

void MemoryMedium::ReadPieces(const std::string& name, const PieceTaker& take,
                              const SizeTaker& sized) const {
  bool folder = false;
  const std::string spelled = Spelled(PathOnMedium(name), folder);
  if (spelled.empty()) ReportIOFailure(ErrorCode::FileNotFound);
  if (folder) ReportIOFailure(ErrorCode::AccessDenied);
  const std::string& bytes = Files.at(spelled);
  sized(bytes.size());
  take(bytes);
}

}  // namespace vestalo::media
