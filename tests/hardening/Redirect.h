// Runs the program with its standard streams set up in ways a terminal test cannot: a full
// disk, a pipe nobody reads, a closed stream, another user. Header-only: the terminal
// tests' target takes no sources from this folder but the tests themselves.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vestalo::testing {

struct Outcome {
  int ExitCode = -1;  // after a normal end
  int Signal = 0;     // the signal that ended it
  bool Hung = false;  // still running at the deadline (then killed)
  std::string Out;    // what reached standard output, when it was captured
  std::string Err;    // what reached standard error, when it was captured
};

// What the child does to its streams before the program starts. Standard output and
// standard error start as capture files, standard input as /dev/null.
using Arrangement = std::function<void()>;

inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs `program` (the vestalo binary under test by default) in `directory`; `whileRunning` runs in
// the test while the program does, e.g. to close a pipe later.
inline Outcome RunArranged(const std::vector<std::string>& arguments, const std::string& directory,
                           const Arrangement& arrange, int timeoutMs = 15000,
                           const std::function<void(pid_t)>& whileRunning = {},
                           const std::string& program = VESTALO_BINARY) {
  char outName[] = "/tmp/vestalo-hard-out-XXXXXX";
  char errName[] = "/tmp/vestalo-hard-err-XXXXXX";
  const int out = mkstemp(outName), err = mkstemp(errName);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDONLY);
    dup2(null, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(126);
    signal(SIGPIPE, SIG_DFL);  // as a shell starts a program
    if (arrange) arrange();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out);
  close(err);
  if (whileRunning) whileRunning(child);
  Outcome outcome;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      outcome.Hung = true;
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!outcome.Hung && WIFEXITED(status)) outcome.ExitCode = WEXITSTATUS(status);
  if (!outcome.Hung && WIFSIGNALED(status)) outcome.Signal = WTERMSIG(status);
  outcome.Out = ReadFileText(outName);
  outcome.Err = ReadFileText(errName);
  unlink(outName);
  unlink(errName);
  return outcome;
}

// True when `err` is exactly the failure report with `message`, in which "#" stands for a
// decimal number: "Exception EInOutError in module vestalo at 8 hex digits.", the message
// with a full stop, and an empty line.
inline bool IsFailureReport(const std::string& err, const std::string& message) {
  const std::string head = "Exception EInOutError in module vestalo at ";
  if (err.compare(0, head.size(), head) != 0 || err.size() < head.size() + 11) return false;
  for (size_t i = head.size(); i < head.size() + 8; ++i)
    if (!std::isdigit(static_cast<unsigned char>(err[i])) && (err[i] < 'A' || err[i] > 'F')) return false;
  size_t at = head.size() + 8;
  if (err.compare(at, 3, ".\r\n") != 0) return false;
  at += 3;
  for (char c : message) {
    if (c != '#') {
      if (at >= err.size() || err[at++] != c) return false;
      continue;
    }
    const size_t start = at;
    while (at < err.size() && std::isdigit(static_cast<unsigned char>(err[at]))) ++at;
    if (at == start) return false;
  }
  return err.substr(at) == ".\r\n\r\n";
}

// Opens a FIFO for writing once a reader has opened it; -1 when none has within the time,
// so that a test never waits for ever on a program that does not read.
inline int OpenFifoForWriting(const std::string& path, int timeoutMs = 5000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Standard output to a device or file opened for writing.
inline Arrangement OutputTo(const char* path) {
  return [path] {
    const int fd = open(path, O_WRONLY);
    dup2(fd, 1);
    close(fd);
  };
}

// Standard output to a pipe whose reading end is already closed.
inline void OutputToClosedPipe() {
  int ends[2];
  if (pipe(ends) != 0) _exit(125);
  close(ends[0]);
  dup2(ends[1], 1);
  close(ends[1]);
}

}  // namespace vestalo::testing
