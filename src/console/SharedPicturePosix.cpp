#include "console/SharedPicturePosix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/PlatformPosix.h"

namespace console::posix {

namespace {

// The names made lately, to remove what is left as the program ends. Older ones were read
// long since by a terminal that reads shared memory at all.
constexpr std::size_t KeptNames = 256;
std::vector<std::string> Made;
// The question's name, for the signal handlers: plain static storage.
char QuestionName[32];
volatile sig_atomic_t QuestionLeft = 0;

// A part of each name that differs from run to run and from computer to computer: a terminal
// across a network that tried a name of ours on its own computer must find nothing there.
uint32_t RunToken() {
  static const uint32_t token = [] {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    uint64_t mixed = static_cast<uint64_t>(now) ^ (static_cast<uint64_t>(getpid()) << 32) ^
                     reinterpret_cast<uintptr_t>(&Made);
    mixed ^= mixed >> 33, mixed *= 0xff51afd7ed558ccdULL, mixed ^= mixed >> 33;
    return static_cast<uint32_t>(mixed);
  }();
  return token;
}

// Opens a new object, never one that exists: its name is "/vestalo-TTTTTTTT-NNNNNNNN" (26
// characters, within the 31 that macOS allows).
int CreateObject(std::string& name) {
  static uint32_t counter = 0;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char made[32];
    std::snprintf(made, sizeof made, "/vestalo-%08x-%08x", RunToken(), counter++);
    const int fd = shm_open(made, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
      name = made;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

std::string ShareWithTerminal(std::string_view bytes) {
  if (bytes.empty()) return {};
  std::string name;
  const int fd = CreateObject(name);
  if (fd < 0) return {};
#if defined(__linux__)
  // Linux's shared memory is a file in memory: written in one call, its pages made as it goes.
  const bool written = vestalo::platform::WriteAll(fd, bytes.data(), bytes.size()) == 0;
  close(fd);
  if (!written) {
    shm_unlink(name.c_str());
    return {};
  }
#else
  // Elsewhere it is sized first and written through a mapping, the one way every system's
  // shared memory takes its contents.
  void* mapped = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(bytes.size())) == 0)
    mapped = mmap(nullptr, bytes.size(), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (mapped == MAP_FAILED) {
    shm_unlink(name.c_str());
    return {};
  }
  std::memcpy(mapped, bytes.data(), bytes.size());
  munmap(mapped, bytes.size());
#endif
  if (Made.size() >= KeptNames) Made.erase(Made.begin(), Made.begin() + KeptNames / 2);
  Made.push_back(name);
  return name;
}

std::string ShareQuestionPixel() {
  const std::string name = ShareWithTerminal(std::string_view("\0\0\0", 3));
  if (name.empty() || name.size() >= sizeof QuestionName) return name;
  QuestionLeft = 0;
  std::memcpy(QuestionName, name.c_str(), name.size() + 1);
  QuestionLeft = 1;
  return name;
}

void RemoveShared() {
  // Those the terminal read are gone already: their names are simply not found.
  for (const auto& name : Made) shm_unlink(name.c_str());
  Made.clear();
  QuestionLeft = 0;
}

void RemoveSharedQuestion() {
  if (QuestionLeft == 0) return;
  QuestionLeft = 0;
  shm_unlink(QuestionName);
}

}  // namespace console::posix
