// The program body's system calls on Windows. Error codes are the Windows file calls' own,
// which are the codes the program's messages are numbered by.
#include <windows.h>

#include <array>

#include "base/CommandLine.h"
#include "base/ErrorCodes.h"
#include "base/InOutError.h"
#include "base/Platform.h"

namespace vestalo::platform {

namespace {

int CodeForLastError() { return CodeForWindowsError(GetLastError()); }

HANDLE AsHandle(FileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// Steps as the system's multi-byte code page does: the command line ends in a NUL.
std::size_t CodePageStep(std::string_view text, std::size_t position) {
  const char* at = text.data() + position;
  return static_cast<std::size_t>(CharNextA(at) - at);
}

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

const char* const LineBreak = "\r\n";

std::vector<std::string> ProgramArguments(int, char**) {
  // The C runtime's own splitting knows escapes; the program's rules know none.
  return SplitCommandLine(GetCommandLineA(), CodePageStep);
}

std::string ExecutableName(int, char**) {
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path, length < sizeof path ? length : 0);
  const std::size_t separator = name.find_last_of("\\/:");
  if (separator != std::string::npos) name.erase(0, separator + 1);
  return name.empty() ? "vestalo.exe" : name;
}

int OpenForReading(const std::string& name, FileHandle& handle) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return CodeForLastError();
  handle = reinterpret_cast<FileHandle>(file);
  return 0;
}

int ReadFile(FileHandle handle, char* buffer, std::size_t size, std::size_t& got) {
  DWORD done = 0;
  const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  if (!::ReadFile(AsHandle(handle), buffer, wanted, &done, nullptr)) return CodeForLastError();
  got = done;
  return 0;
}

std::uint64_t PlainFileSize(FileHandle handle) {
  LARGE_INTEGER size{};
  const bool plain =
      GetFileType(AsHandle(handle)) == FILE_TYPE_DISK && GetFileSizeEx(AsHandle(handle), &size);
  return plain ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

int CloseFile(FileHandle handle) { return CloseHandle(AsHandle(handle)) ? 0 : CodeForLastError(); }

int CreateFolder(const std::string& name) {
  if (CreateDirectoryA(name.c_str(), nullptr)) return 0;
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(name.c_str());
  const bool folder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return error == ERROR_ALREADY_EXISTS && folder ? 0 : CodeForWindowsError(error);
}

int WriteWholeFile(const std::string& name, std::string_view bytes) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return CodeForLastError();
  while (!bytes.empty()) {
    const DWORD wanted =
        bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD done = 0;
    if (!::WriteFile(file, bytes.data(), wanted, &done, nullptr)) {
      const int error = CodeForLastError();
      CloseHandle(file);
      return error;
    }
    bytes.remove_prefix(done);
  }
  return CloseHandle(file) ? 0 : CodeForLastError();
}

SearchResult FindFirst(const std::string& pattern) { return FindFirstIn("", pattern); }

SearchResult FindFirstIn(const std::string& folder, const std::string& pattern) {
  SearchResult result;
  // A Windows folder's name holds no wildcards: the pattern is its last part alone.
  const std::string path =
      folder.empty() || IsSeparator(folder.back()) ? folder + pattern : folder + "\\" + pattern;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA(path.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return result;
  result.Found = true;
  result.IsDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  FindClose(search);
  return result;
}

int EnterableFolder(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.empty() ? "." : folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return CodeForLastError();
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : ErrorCode::PathNotFound;
}

bool IsAbsolute(const std::string& name) {
  // A root ("\dir", "\\server\share") or a drive ("C:"): joining the current folder would
  // make no sense of either.
  if (!name.empty() && (name[0] == '\\' || name[0] == '/')) return true;
  return name.size() >= 2 && name[1] == ':';
}

std::string JoinToCurrentDirectory(const std::string& name) {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return name;
  std::string path(needed, '\0');
  const DWORD length = GetCurrentDirectoryA(needed, path.data());
  if (length == 0 || length >= needed) return name;
  path.resize(length);
  if (path.empty() || !IsSeparator(path.back())) path += '\\';
  return path + name;
}

std::string ResolveLetterCase(const std::string& name) {
  // The file system ignores letter case on its own.
  return name;
}

int WriteStandard(int stream, const char* bytes, std::size_t size) {
  const HANDLE handle = GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  while (size > 0) {
    DWORD written = 0;
    const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!WriteFile(handle, bytes, wanted, &written, nullptr)) return CodeForLastError();
    if (written == 0) return CodeForWindowsError(ERROR_WRITE_FAULT);
    bytes += written;
    size -= written;
  }
  return 0;
}

bool InputWithin(int timeoutMs, int) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
  DWORD mode = 0;
  const bool console = GetConsoleMode(input, &mode) != 0;
  if (!console && GetFileType(input) != FILE_TYPE_PIPE)
    return true;  // a file or device never waits
  for (;;) {
    DWORD count = 0;
    if (console) {
      // The line read returns at Enter: until one is typed, the caller keeps its work going.
      GetNumberOfConsoleInputEvents(input, &count);
      std::vector<INPUT_RECORD> records(count > 0 ? count : 1);
      DWORD got = 0;
      if (count > 0 && PeekConsoleInputA(input, records.data(), count, &got))
        for (DWORD i = 0; i < got; ++i)
          if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown &&
              (records[i].Event.KeyEvent.wVirtualKeyCode == VK_RETURN ||
               records[i].Event.KeyEvent.uChar.AsciiChar == '\r'))
            return true;
    } else {
      DWORD waiting = 0;
      if (!PeekNamedPipe(input, nullptr, 0, nullptr, &waiting, nullptr) || waiting > 0) return true;
    }
    const DWORD now = GetTickCount();
    if (timeoutMs >= 0 && static_cast<int>(deadline - now) <= 0) return false;
    // An empty console is waited on (a console host may fill it only for a waiter); typed
    // characters without an Enter are looked at again a moment later.
    if (console && count == 0)
      WaitForSingleObject(input, timeoutMs < 0 ? INFINITE : deadline - now);
    else Sleep(10);
  }
}

int ReadStandardInput(char& byte, bool& atEnd) {
  atEnd = false;
  DWORD got = 0;
  if (!::ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr)) {
    const DWORD error = GetLastError();
    // The writer of a pipe that went away has only ended the input.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
      atEnd = true;
      return 0;
    }
    return CodeForLastError();
  }
  atEnd = got == 0;
  return 0;
}

}  // namespace vestalo::platform
