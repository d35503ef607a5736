// The program body's system calls on POSIX systems (Linux, macOS).
#include "base/PlatformPosix.h"

#include <dirent.h>
#include <fcntl.h>
#include <glob.h>
#include <poll.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "base/ErrorCodes.h"
#include "base/InOutError.h"
#include "base/Platform.h"

namespace vestalo::platform {

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::string ParentOf(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// A file missing inside a folder that is missing too is a bad path, not a missing file.
int CodeForOpenError(int error, const std::string& name) {
  if (error == ENOENT && !Exists(ParentOf(name))) return ErrorCode::PathNotFound;
  return CodeForErrno(error);
}

// The search pattern with every glob special character other than "*" and "?" made literal.
std::string LiteralBrackets(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    if (c == '[') out += "[[]";
    else out += c;
  }
  return out;
}

// A name matched as it is written: each glob special character as a class of its own.
std::string LiteralName(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '[' || c == '*' || c == '?') out.append("[").append(1, c).append("]");
    else out += c;
  }
  return out;
}

// The entry of `folder` whose name equals `part` ignoring letter case, or "" when none does.
std::string FindIgnoringCase(const std::string& folder, const std::string& part) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  std::string found;
  while (dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, part.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

// A hung-up terminal reads as an error, and asking it whether it is a terminal fails with
// the same error; like a closed pipe, it only ends the input.
bool IsHungUpTerminal() {
  const bool terminal = isatty(STDIN_FILENO) == 1;
  return terminal || errno == EIO;
}

// Files and folders only: a FIFO would block its reader until a writer came, a device may
// never end, and neither can be on a boot medium.
bool IsSearchEntry(const struct stat& info) {
  return S_ISREG(info.st_mode) || S_ISDIR(info.st_mode);
}

}  // namespace

const char* const LineBreak = "\n";

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  // The list of arguments ends at the first empty one.
  std::vector<std::string> arguments;
  for (int i = 1; i < argc && argv[i][0] != '\0'; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

std::string ExecutableName(int argc, char** argv) {
  std::string path = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos) path.erase(0, slash + 1);
  return path.empty() ? "vestalo" : path;
}

int OpenForReading(const std::string& name, FileHandle& handle) {
  int fd;
  do {
    fd = open(name.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return CodeForOpenError(errno, name);
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    close(fd);
    return CodeForErrno(EISDIR);
  }
  handle = fd;
  return 0;
}

int ReadFile(FileHandle handle, char* buffer, std::size_t size, std::size_t& got) {
  ssize_t done;
  do {
    done = read(static_cast<int>(handle), buffer, size);
  } while (done < 0 && errno == EINTR);
  if (done < 0) return CodeForErrno(errno);
  got = static_cast<std::size_t>(done);
  return 0;
}

std::uint64_t PlainFileSize(FileHandle handle) {
  struct stat info;
  return fstat(static_cast<int>(handle), &info) == 0 && S_ISREG(info.st_mode)
             ? static_cast<std::uint64_t>(info.st_size)
             : 0;
}

int CloseFile(FileHandle handle) {
  return close(static_cast<int>(handle)) == 0 || errno == EINTR ? 0 : CodeForErrno(errno);
}

SearchResult FindFirst(const std::string& pattern) { return FindFirstIn("", pattern); }

SearchResult FindFirstIn(const std::string& folder, const std::string& pattern) {
  SearchResult result;
  const std::string prefix = folder.empty() ? "" : folder.back() == '/' ? folder : folder + "/";
  if (pattern.find_first_of("*?") == std::string::npos) {
    struct stat info;
    if (stat((prefix + pattern).c_str(), &info) != 0) return result;
    result.Found = IsSearchEntry(info);
    result.IsDirectory = S_ISDIR(info.st_mode);
    return result;
  }
  glob_t matches{};
  int flags = GLOB_NOESCAPE;
#ifdef GLOB_PERIOD
  flags |= GLOB_PERIOD;  // as on the boot medium's file systems, "*" matches dot files too
#endif
  if (glob((LiteralName(prefix) + LiteralBrackets(pattern)).c_str(), flags, nullptr, &matches) ==
          0 &&
      matches.gl_pathc > 0) {
    for (size_t i = 0; i < matches.gl_pathc; ++i) {
      const std::string match = matches.gl_pathv[i];
      const size_t slash = match.find_last_of('/');
      const std::string leaf = slash == std::string::npos ? match : match.substr(slash + 1);
      if (leaf == "." || leaf == "..") continue;  // a search never yields these first
      struct stat info;
      result.Found = stat(match.c_str(), &info) == 0 && IsSearchEntry(info);
      result.IsDirectory = result.Found && S_ISDIR(info.st_mode);
      break;
    }
  }
  globfree(&matches);
  return result;
}

int EnterableFolder(const std::string& folder) {
  if (access(folder.empty() ? "." : folder.c_str(), X_OK) == 0) return 0;
  const int error = errno;
  if (error == ENOENT || error == ENOTDIR) return ErrorCode::PathNotFound;
  return CodeForErrno(error);
}

bool IsAbsolute(const std::string& name) { return !name.empty() && name[0] == '/'; }

std::string JoinToCurrentDirectory(const std::string& name) {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return name;
  std::string path = buffer;
  if (path.empty() || path.back() != '/') path += '/';
  return path + name;
}

std::string ResolveLetterCase(const std::string& name) {
  if (name.empty() || Exists(name)) return name;
  std::string resolved = IsAbsolute(name) ? "/" : "";
  size_t start = IsAbsolute(name) ? 1 : 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    const std::string folder = resolved.empty() ? "." : resolved;
    std::string next = resolved + part;
    if (!part.empty() && part != "." && part != ".." && !Exists(next)) {
      const std::string found = FindIgnoringCase(folder, part);
      if (found.empty()) return name;
      next = resolved + found;
    }
    resolved = next;
    if (end == name.size()) break;
    resolved += '/';
    start = end + 1;
  }
  return resolved;
}

int WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t done = write(fd, bytes, size);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return CodeForErrno(errno);
    if (done == 0) return CodeForErrno(EIO);  // no progress: a write that can never finish
    bytes += done;
    size -= static_cast<std::size_t>(done);
  }
  return 0;
}

int WriteStandard(int stream, const char* bytes, std::size_t size) {
  return WriteAll(stream, bytes, size);
}

int CreateFolder(const std::string& name) {
  if (mkdir(name.c_str(), 0777) == 0) return 0;
  const int error = errno;
  struct stat info;
  if (error == EEXIST && stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 0;
  return CodeForOpenError(error, name);
}

int WriteWholeFile(const std::string& name, std::string_view bytes) {
  int fd;
  do {
    fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return CodeForOpenError(errno, name);
  if (int error = WriteAll(fd, bytes.data(), bytes.size())) {
    close(fd);
    return error;
  }
  // A full disk may only show at the close of a file on a network file system.
  return close(fd) == 0 || errno == EINTR ? 0 : CodeForErrno(errno);
}

bool InputWithin(int timeoutMs, int wakeUp) {
  // A terminal in line input reports itself readable once a whole line is there.
  struct pollfd watch[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeUp, POLLIN, 0}};
  const int ready = poll(watch, wakeUp >= 0 ? 2 : 1, timeoutMs);
  return ready > 0 ? watch[0].revents != 0 : ready < 0 && errno != EINTR;
}

int ReadStandardInput(char& byte, bool& atEnd) {
  atEnd = false;
  for (;;) {
    ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) return 0;
    if (got < 0 && errno == EINTR) continue;
    if (got == 0 || (errno == EIO && IsHungUpTerminal())) {
      atEnd = true;
      return 0;
    }
    return CodeForErrno(errno);
  }
}

}  // namespace vestalo::platform
