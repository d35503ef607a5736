#include "main/FileAccess.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "main/InOutError.h"
#include "main/Platform.h"

namespace vestalo {

namespace {

bool LookupSucceeds(const std::string& pattern) {
  const platform::SearchResult result = platform::FindFirst(pattern);
  // Any modification time will do: files dated 1970 come out of reproducible builds.
  return result.Found && !result.IsDirectory;
}

// Where a screen text ends within a piece of a file: at ^Z, or at 0xFF, where the boot
// loader stops drawing a display file too.
std::size_t TextEnd(std::string_view piece) {
  const std::size_t end = piece.find_first_of(std::string_view("\x1a\xff", 2));
  return end == std::string_view::npos ? piece.size() : end;
}

bool HasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

}  // namespace

std::string NameOnDisk(const std::string& name) {
  if (HasWildcards(name)) return name;
  return platform::ResolveLetterCase(name);
}

bool FileIsPresent(const std::string& name) {
  if (name.empty() || name.size() > MaxNameLength) return false;
  const std::string pattern = NameOnDisk(name);
  if (LookupSucceeds(pattern)) return true;
  return !platform::IsAbsolute(pattern) && LookupSucceeds(platform::JoinToCurrentDirectory(pattern));
}

namespace {

// Reads a file up to its physical end, or with `toTextEnd` up to the end of its screen text:
// what follows a ^Z is never read then, however large the file.
std::string LoadFile(const std::string& name, bool toTextEnd) {
  platform::FileHandle handle{};
  if (int error = platform::OpenForReading(NameOnDisk(name), handle)) ReportIOFailure(error);
  std::string text;
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    std::size_t got = 0;
    int error = platform::ReadFile(handle, chunk.data(), chunk.size(), got);
    if (error == 0 && text.size() + got > MaxTextSize) error = ErrorCode::FileTooLarge;
    if (error != 0) {
      platform::CloseFile(handle);
      ReportIOFailure(error);
    }
    if (got == 0) break;
    const std::size_t end = toTextEnd ? TextEnd(std::string_view(chunk.data(), got)) : got;
    text.append(chunk.data(), end);
    if (end < got) break;
  }
  if (int error = platform::CloseFile(handle)) ReportIOFailure(error);
  return text;
}

}  // namespace

std::string LoadWholeFile(const std::string& name) { return LoadFile(name, true); }

std::string LoadFileBytes(const std::string& name) { return LoadFile(name, false); }

}  // namespace vestalo
