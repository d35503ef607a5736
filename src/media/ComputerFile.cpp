#include "media/ComputerFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/InOutError.h"
#include "base/Platform.h"

namespace vestalo::media {

namespace {

// Closes a file left open by a failure: the failure is what gets reported, not the close.
struct OpenFile {
  platform::FileHandle Handle{};
  bool Open = false;
  ~OpenFile() {
    if (Open) platform::CloseFile(Handle);
  }
};

}  // namespace

void ReadComputerFile(const std::string& path, const PieceTaker& take, const SizeTaker& sized) {
  OpenFile file;
  if (int error = platform::OpenForReading(path, file.Handle)) ReportIOFailure(error);
  file.Open = true;
  sized(static_cast<std::size_t>(
      std::min<std::uint64_t>(platform::PlainFileSize(file.Handle), SIZE_MAX)));
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    std::size_t got = 0;
    if (int error = platform::ReadFile(file.Handle, chunk.data(), chunk.size(), got))
      ReportIOFailure(error);
    if (got == 0 || !take(std::string_view(chunk.data(), got))) break;
  }
  file.Open = false;
  if (int error = platform::CloseFile(file.Handle)) ReportIOFailure(error);
}

std::string ComputerFileStamp(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return {};
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return {};
  return std::to_string(size) + ":" + std::to_string(time.time_since_epoch().count());
}

}  // namespace vestalo::media
