#include "media/FileAccess.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "base/InOutError.h"
#include "base/Platform.h"
#include "media/Image.h"
#include "media/Medium.h"

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

// Closes a file left open by a failure: the failure is what gets reported, not the close.
struct OpenFile {
  platform::FileHandle Handle{};
  bool Open = false;
  ~OpenFile() {
    if (Open) platform::CloseFile(Handle);
  }
};

bool HasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

}  // namespace

std::string NameOnDisk(const std::string& name) {
  if (media::MediumIsImage()) {
    // Not on the computer's disk: the name as the image spells it.
    const media::ImageEntry entry = media::FindInImage(media::PathOnMedium(name));
    return entry.Found ? entry.Spelling : media::PathOnMedium(name);
  }
  const std::string path = media::PathOnComputer(name);
  if (HasWildcards(path)) return path;
  return platform::ResolveLetterCase(path);
}

bool FileIsPresent(const std::string& name) {
  if (name.empty() || name.size() > MaxNameLength) return false;
  if (media::MediumIsImage()) {
    const media::ImageEntry entry = media::FindInImage(media::PathOnMedium(name));
    return entry.Found && !entry.IsFolder;
  }
  const std::string pattern = NameOnDisk(name);
  if (LookupSucceeds(pattern)) return true;
  return !platform::IsAbsolute(pattern) && LookupSucceeds(platform::JoinToCurrentDirectory(pattern));
}

void ReadFilePieces(const std::string& name, const std::function<bool(std::string_view)>& take,
                    const std::function<void(std::size_t)>& sized) {
  std::size_t total = 0;
  // The same limit for a file on disk and one in an image: no file is read without end.
  const auto limited = [&](std::string_view piece) {
    total += piece.size();
    if (total > MaxTextSize) ReportIOFailure(ErrorCode::FileTooLarge);
    return take(piece);
  };
  if (media::MediumIsImage()) {
    media::ReadImageFile(media::PathOnMedium(name), limited);
    return;
  }
  OpenFile file;
  if (int error = platform::OpenForReading(NameOnDisk(name), file.Handle)) ReportIOFailure(error);
  file.Open = true;
  // A file known to be too large is refused without reading 64 MiB of it first.
  const std::uint64_t size = platform::PlainFileSize(file.Handle);
  if (size > MaxTextSize) ReportIOFailure(ErrorCode::FileTooLarge);
  if (sized) sized(static_cast<std::size_t>(size));
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    std::size_t got = 0;
    const int error = platform::ReadFile(file.Handle, chunk.data(), chunk.size(), got);
    if (error == 0 && total + got > MaxTextSize) ReportIOFailure(ErrorCode::FileTooLarge);
    if (error != 0) ReportIOFailure(error);
    if (got == 0 || !limited(std::string_view(chunk.data(), got))) break;
  }
  file.Open = false;
  if (int error = platform::CloseFile(file.Handle)) ReportIOFailure(error);
}

std::string LoadWholeFile(const std::string& name) {
  std::string text;
  ReadFilePieces(name, [&](std::string_view piece) {
    const std::size_t end = TextEnd(piece);
    text.append(piece.data(), end);
    return end == piece.size();
  }, [&](std::size_t size) { text.reserve(size); });
  return text;
}

std::string LoadFileBytes(const std::string& name) {
  std::string bytes;
  ReadFilePieces(name, [&](std::string_view piece) {
    bytes.append(piece);
    return true;
  }, [&](std::size_t size) { bytes.reserve(size); });
  return bytes;
}

}  // namespace vestalo
