// The program body's calls into the operating system: files, standard streams, arguments.
// PlatformPosix.cpp and PlatformWin32.cpp implement them. Every error comes back as one of
// the program's error codes (see InOutError.h), 0 meaning success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vestalo::platform {

using FileHandle = std::intptr_t;

// How text files and pipes end a line on this platform.
extern const char* const LineBreak;

// The program's arguments, without its own name, in the order given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The file name of the running program, without its folder.
std::string ExecutableName(int argc, char** argv);

// Opens an existing file for reading, letting others read it too.
int OpenForReading(const std::string& name, FileHandle& handle);

// Reads up to `size` bytes; `got` is 0 at the end of the file.
int ReadFile(FileHandle handle, char* buffer, std::size_t size, std::size_t& got);

// The size of a plain file on disk; 0 for anything that has no size of its own (a pipe, a
// device), which is read until it ends.
std::uint64_t PlainFileSize(FileHandle handle);

// Closes a file opened by OpenForReading.
int CloseFile(FileHandle handle);

// The first entry that a search for `pattern` ("*" and "?" match as wildcards) yields.
struct SearchResult {
  bool Found = false;
  bool IsDirectory = false;
};
SearchResult FindFirst(const std::string& pattern);

// The same for a pattern in `folder`, whose own name is taken as it is written, wildcards
// and all.
SearchResult FindFirstIn(const std::string& folder, const std::string& pattern);

// 0 when the folder can be entered (its files opened by name), else the error code.
int EnterableFolder(const std::string& folder);

// True when the name starts at the root of a file system rather than at the current folder.
bool IsAbsolute(const std::string& name);

// The current folder with `name` joined to it by the platform's path separator.
std::string JoinToCurrentDirectory(const std::string& name);

// The name of an existing file or folder whose name differs from `name` only in letter case,
// folder by folder; `name` itself when it exists as written or nothing matches.
std::string ResolveLetterCase(const std::string& name);

// Writes all bytes to standard output (stream 1) or standard error (stream 2).
int WriteStandard(int stream, const char* bytes, std::size_t size);

// Creates a folder (its parent must exist); an existing folder is no error.
int CreateFolder(const std::string& name);

// Writes a file whole, replacing one of the same name (the snapshots; the program writes
// nothing else).
int WriteWholeFile(const std::string& name, std::string_view bytes);

// True when a read of standard input would not wait: a whole line typed at a terminal,
// bytes or the end in a pipe or file. Waits at most `timeoutMs` for it (below 0: until it
// comes); false also when a signal ends the wait, or when `wakeUp` (a descriptor, below 0:
// none) turns readable.
bool InputWithin(int timeoutMs, int wakeUp = -1);

// Reads one byte of standard input; `atEnd` is set when input has ended (or hung up).
int ReadStandardInput(char& byte, bool& atEnd);

}  // namespace vestalo::platform
