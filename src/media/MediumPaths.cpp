#include "media/MediumPaths.h"

#include <vector>

namespace vestalo::media {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string_view> Parts(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    if (!part.empty()) parts.push_back(part);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

}  // namespace

std::string FoldedCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = Lower(c);
  return folded;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string JoinPath(std::string_view first, std::string_view second) {
  if (first.empty()) return std::string(second);
  if (second.empty()) return std::string(first);
  std::string joined(first);
  if (joined.back() != '/') joined += '/';
  return joined + std::string(second);
}

std::string MediumPath(std::string_view bootFolder, std::string_view name) {
  std::vector<std::string_view> resolved;
  const bool fromRoot = !name.empty() && name.front() == '/';
  std::vector<std::string_view> parts = fromRoot ? Parts(name) : Parts(bootFolder);
  if (!fromRoot) {
    const auto more = Parts(name);
    parts.insert(parts.end(), more.begin(), more.end());
  }
  for (std::string_view part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    resolved.push_back(part);
  }
  std::string path;
  for (std::string_view part : resolved) path = JoinPath(path, part);
  return path;
}

std::string PlaceOfFolder(std::string_view absolutePath) {
  const auto parts = Parts(absolutePath);
  // The longer places first: a boot/isolinux folder is the loader's first place, before the
  // isolinux folder below a root called "boot".
  for (std::size_t count = 2; count >= 1; --count) {
    if (parts.size() <= count - 1) continue;
    const std::size_t first = parts.size() - count;
    std::string tail;
    for (std::size_t i = first; i < parts.size(); ++i) tail = JoinPath(tail, parts[i]);
    for (std::string_view place : BootFolderPlaces)
      if (SameIgnoringCase(tail, place)) return tail;
  }
  return {};
}

std::string RelativeToFolder(std::string_view folder, std::string_view path) {
  if (folder.empty()) return std::string(path);
  if (path.size() > folder.size() && path[folder.size()] == '/' &&
      SameIgnoringCase(path.substr(0, folder.size()), folder))
    return std::string(path.substr(folder.size() + 1));
  std::string up;
  for (std::size_t i = 0; i < Parts(folder).size(); ++i) up = JoinPath(up, "..");
  return path.empty() ? up : JoinPath(up, path);
}

}  // namespace vestalo::media
