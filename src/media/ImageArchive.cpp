// ISO images read with libarchive: its ISO 9660 reader knows plain, Joliet and Rock Ridge
// names, zisofs and hybrid images. It reads an image as a stream in the order the files lie
// on the disc, seeking over what it does not need, but reading every folder before the first
// file. So the list of files is taken once, with the small files of the folders where a boot
// loader looks (its configuration and screens); any other file is read by going to its
// place in that order again.
#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "base/InOutError.h"
#include "media/Image.h"
#include "media/MediumPaths.h"

namespace vestalo::media {

namespace {

struct FreeArchive {
  void operator()(archive* reader) const { archive_read_free(reader); }
};
using Reader = std::unique_ptr<archive, FreeArchive>;

struct Entry {
  std::string Path;  // from the image's root, as the image spells it; "" for the root
  bool IsFolder = false;
  std::string LinkTarget;  // a symbolic link: where it points
  std::string DataOf;      // a hard link: the entry whose bytes it shares
};

}  // namespace

struct IsoImage::State {
  std::string File;
  std::vector<Entry> Entries;  // in the order libarchive yields them
  std::unordered_map<std::string, std::vector<std::size_t>> ByLowerPath;
  std::unordered_map<std::size_t, std::string> Kept;  // small files of the boot folders, by number
  std::size_t KeptBytes = 0;
  Reader Cursor;               // the reader left by the last file read
  std::size_t CursorNext = 0;  // the number of the entry it yields next
};

namespace {

using State = IsoImage::State;

// More links than this in one name make it a loop, as for the loader.
constexpr int MaxLinkHops = 16;
constexpr std::size_t ReadBlock = 64 * 1024;
// What the first reading keeps of a boot folder: files up to this size, up to this much in all.
constexpr std::int64_t KeptFileSize = 1024 * 1024;
constexpr std::size_t KeptTotal = 16 * 1024 * 1024;

[[noreturn]] void Damaged(archive* reader, std::string_view why = {}) {
  std::string message = "Damaged or truncated ISO image";
  const char* detail = reader != nullptr ? archive_error_string(reader) : nullptr;
  if (why.empty() && detail != nullptr && *detail != '\0') why = detail;
  if (!why.empty()) message += ": " + std::string(why);
  ReportIOFailure(ErrorCode::ImageDamaged, message);
}

Reader OpenReader(const State& image) {
  Reader reader(archive_read_new());
  if (!reader) Damaged(nullptr, "out of memory");
  archive_read_support_format_iso9660(reader.get());
  if (archive_read_open_filename(reader.get(), image.File.c_str(), ReadBlock) != ARCHIVE_OK) {
    // The image itself cannot be opened: reported as for any other file.
    const int error = archive_errno(reader.get());
    if (error == ENOENT) ReportIOFailure(ErrorCode::FileNotFound);
    if (error == EACCES) ReportIOFailure(ErrorCode::AccessDenied);
    Damaged(reader.get());
  }
  return reader;
}

// The next entry's header; damage in the image ends the run.
archive_entry* NextHeader(archive* reader) {
  archive_entry* entry = nullptr;
  const int result = archive_read_next_header(reader, &entry);
  if (result == ARCHIVE_EOF) return nullptr;
  if (result != ARCHIVE_OK && result != ARCHIVE_WARN) Damaged(reader);
  return entry;
}

std::string PathOf(archive_entry* entry) {
  const char* name = archive_entry_pathname(entry);
  if (name == nullptr) name = archive_entry_pathname_utf8(entry);
  return MediumPath("", name != nullptr ? name : "");
}

const Entry* Lookup(const State& image, const std::string& path) {
  const auto found = image.ByLowerPath.find(FoldedCase(path));
  if (found == image.ByLowerPath.end()) return nullptr;
  // A name spelled exactly so comes before one that differs only in letter case.
  for (std::size_t number : found->second)
    if (image.Entries[number].Path == path) return &image.Entries[number];
  return &image.Entries[found->second.front()];
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Walks the path part by part, so that a symbolic link to a folder works inside it too.
const Entry* Resolve(const State& image, const std::string& path, int hops) {
  const Entry* entry = Lookup(image, "");
  std::string spelled;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    entry = Lookup(image, JoinPath(spelled, path.substr(start, end - start)));
    if (entry == nullptr) return nullptr;
    if (!entry->LinkTarget.empty()) {
      if (++hops > MaxLinkHops) return nullptr;
      const std::string& target = entry->LinkTarget;
      const std::string base =
          target.front() == '/' ? target : JoinPath(ParentOf(entry->Path), target);
      return Resolve(
          image, MediumPath("", JoinPath(base, path.substr(std::min(end + 1, path.size())))), hops);
    }
    spelled = entry->Path;
    start = end + 1;
  }
  return entry;
}

std::size_t NumberOf(const State& image, const Entry* entry) {
  return static_cast<std::size_t>(entry - image.Entries.data());
}

// Moves the reader to the entry numbered `number`, from the start again when it has passed it.
archive* ReaderAt(State& image, std::size_t number) {
  if (!image.Cursor || image.CursorNext > number) {
    image.Cursor = OpenReader(image);
    image.CursorNext = 0;
  }
  archive_entry* entry = nullptr;
  while (image.CursorNext <= number) {
    entry = NextHeader(image.Cursor.get());
    if (entry == nullptr) break;
    ++image.CursorNext;
  }
  if (entry == nullptr || PathOf(entry) != image.Entries[number].Path)
    Damaged(nullptr, "it changed while it was read");
  return image.Cursor.get();
}

void ReadData(archive* reader, const std::function<bool(std::string_view)>& take) {
  std::vector<char> block(ReadBlock);
  for (;;) {
    const la_ssize_t got = archive_read_data(reader, block.data(), block.size());
    if (got < 0) Damaged(reader);
    if (got == 0 || !take(std::string_view(block.data(), static_cast<std::size_t>(got)))) return;
  }
}

// True for a file in one of the loader's places or the root, where configurations and screens lie.
bool InBootFolder(const std::string& path) {
  const std::string folder = ParentOf(path);
  if (folder.empty()) return true;
  for (std::string_view place : BootFolderPlaces)
    if (SameIgnoringCase(folder, place)) return true;
  return false;
}

void KeepIfSmall(State& image, archive* reader, archive_entry* header, const Entry& entry) {
  const std::int64_t size = archive_entry_size(header);
  if (entry.IsFolder || !entry.LinkTarget.empty() || !entry.DataOf.empty() ||
      !InBootFolder(entry.Path) || size < 0 || size > KeptFileSize ||
      image.KeptBytes + static_cast<std::size_t>(size) > KeptTotal)
    return;
  std::string bytes;
  ReadData(reader, [&](std::string_view piece) {
    bytes.append(piece);
    return bytes.size() <= static_cast<std::size_t>(KeptFileSize);
  });
  image.KeptBytes += bytes.size();
  image.Kept[image.Entries.size()] = std::move(bytes);
}

void TakeKept(const std::string& bytes, const std::function<bool(std::string_view)>& take) {
  for (std::size_t at = 0; at < bytes.size(); at += ReadBlock)
    if (!take(std::string_view(bytes).substr(at, ReadBlock))) return;
}

}  // namespace

IsoImage::IsoImage(const std::string& path) : Data(std::make_unique<State>()) {
  State& image = *Data;
  image.File = path;
  Reader reader = OpenReader(image);
  while (archive_entry* header = NextHeader(reader.get())) {
    Entry entry;
    entry.Path = PathOf(header);
    entry.IsFolder = archive_entry_filetype(header) == AE_IFDIR;
    if (const char* target = archive_entry_symlink(header)) entry.LinkTarget = target;
    if (const char* data = archive_entry_hardlink(header)) entry.DataOf = MediumPath("", data);
    KeepIfSmall(image, reader.get(), header, entry);
    image.ByLowerPath[FoldedCase(entry.Path)].push_back(image.Entries.size());
    image.Entries.push_back(std::move(entry));
  }
}

IsoImage::~IsoImage() = default;

ImageEntry IsoImage::Find(std::string_view path) const {
  const Entry* entry = Resolve(*Data, MediumPath("", path), 0);
  if (entry == nullptr) return {};
  return {true, entry->IsFolder, entry->Path};
}

void IsoImage::Read(std::string_view path, const PieceTaker& take) const {
  State& image = *Data;
  const Entry* entry = Resolve(image, MediumPath("", path), 0);
  if (entry == nullptr) ReportIOFailure(ErrorCode::FileNotFound);
  if (entry->IsFolder) ReportIOFailure(ErrorCode::AccessDenied);
  if (!entry->DataOf.empty()) entry = Lookup(image, entry->DataOf);
  if (entry == nullptr) Damaged(nullptr, "a hard link leads nowhere");
  const auto kept = image.Kept.find(NumberOf(image, entry));
  if (kept != image.Kept.end()) {
    TakeKept(kept->second, take);
    return;
  }
  try {
    ReadData(ReaderAt(image, NumberOf(image, entry)), take);
  } catch (...) {
    // Where the reader stopped is not known after a failure: the next file starts afresh.
    image.Cursor.reset();
    throw;
  }
}

std::string ImageSupportLine() {
  return std::string("ISO images: read with ") + archive_version_string();
}

}  // namespace vestalo::media
