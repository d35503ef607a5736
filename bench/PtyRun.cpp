#include "PtyRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vestalo::bench {

namespace {

int MillisecondsLeft(Clock::time_point deadline) {
  auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// The system calls a program sleeps in while it waits for a key: a read of standard input,
// or a poll or select (x86-64 and arm64 numbers).
bool IsWaitingCall(long number, unsigned long firstArgument) {
#if defined(__x86_64__)
  if (number == 0) return firstArgument == 0;
  return number == 7 || number == 23 || number == 232 || number == 270 || number == 271 ||
         number == 281;
#else
  if (number == 63) return firstArgument == 0;
  return number == 72 || number == 73 || number == 22;
#endif
}

[[noreturn]] void Exec(const Launch& launch) {
  if (!launch.Directory.empty() && chdir(launch.Directory.c_str()) != 0) _exit(126);
  // Box drawing reaches the terminal as UTF-8, as on a usual desktop.
  setenv("LC_ALL", "C.UTF-8", 1);
  std::vector<char*> argv{const_cast<char*>(launch.Program.c_str())};
  for (const auto& argument : launch.Arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(launch.Program.c_str(), argv.data());
  _exit(127);
}

double CpuMilliseconds(const struct rusage& usage) {
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

PtyRun::PtyRun(const Launch& launch) : AnswerQueries(launch.AnswerQueries) {
  struct winsize size {};
  size.ws_row = 25;
  size.ws_col = 80;
  struct termios modes {};
  // The modes a new terminal has: cooked input with echo, and CR before each LF on output.
  modes.c_iflag = ICRNL | IXON | IUTF8;
  modes.c_oflag = launch.RawOutput ? 0 : (OPOST | ONLCR);
  modes.c_cflag = CS8 | CREAD;
  modes.c_lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | IEXTEN;
  modes.c_cc[VINTR] = 3;
  modes.c_cc[VQUIT] = 28;
  modes.c_cc[VERASE] = 127;
  modes.c_cc[VKILL] = 21;
  modes.c_cc[VEOF] = 4;
  modes.c_cc[VSUSP] = 26;
  modes.c_cc[VMIN] = 1;
  cfsetispeed(&modes, B38400);
  cfsetospeed(&modes, B38400);
  Child = forkpty(&Master, nullptr, &modes, &size);
  if (Child < 0) throw std::runtime_error("forkpty failed");
  if (Child == 0) Exec(launch);
  fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
  Out.reserve(1 << 20);
}

PtyRun::~PtyRun() {
  if (Child > 0) {
    kill(Child, SIGKILL);
    waitpid(Child, nullptr, 0);
  }
  if (Master >= 0) close(Master);
}

bool PtyRun::ReadSome(int timeoutMs) {
  char buffer[64 * 1024];
  for (;;) {
    ssize_t got = read(Master, buffer, sizeof buffer);
    if (got > 0) {
      Out.append(buffer, static_cast<size_t>(got));
      if (AnswerQueries) Answer();
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) {
      struct pollfd ready {
        Master, POLLIN, 0
      };
      if (poll(&ready, 1, timeoutMs) <= 0) return false;
      timeoutMs = 0;
      if ((ready.revents & POLLIN) == 0 && (ready.revents & (POLLHUP | POLLERR))) {
        Closed = true;
        return false;
      }
      continue;
    }
    Closed = true;  // EIO: every copy of the terminal's other side is closed
    return false;
  }
}

void PtyRun::Answer() {
  static const std::string Query = "\x1b[c";
  for (size_t at; (at = Out.find(Query, Answered)) != std::string::npos;
       Answered = at + Query.size())
    Type(std::string(DeviceAttributesAnswer));
  // A query split over two reads is found next time.
  if (Out.size() >= Query.size()) Answered = std::max(Answered, Out.size() - (Query.size() - 1));
}

void PtyRun::ClearOutput() {
  Out.clear();
  Answered = 0;
}

bool PtyRun::ReadUntil(const std::function<bool(const std::string&)>& done, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done(Out)) {
    if (Closed || Clock::now() >= deadline) return false;
    ReadSome(MillisecondsLeft(deadline));
  }
  return true;
}

void PtyRun::ReadUntilQuiet(int quietMs) {
  while (!Closed && ReadSome(quietMs)) {
  }
}

void PtyRun::Type(const std::string& bytes) {
  if (write(Master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    throw std::runtime_error("cannot type at the terminal");
}

bool PtyRun::WaitUntilBlocked(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const std::string path = "/proc/" + std::to_string(Child) + "/syscall";
  while (Clock::now() < deadline) {
    // The file says "running" while the program runs, and the call's number while it sleeps.
    std::ifstream file(path);
    long number = -1;
    unsigned long firstArgument = 0;
    if (file >> number >> std::hex >> firstArgument && IsWaitingCall(number, firstArgument))
      return true;
    ReadSome(0);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return false;
}

long PtyRun::PeakRssKb() const {
  std::ifstream status("/proc/" + std::to_string(Child) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  throw std::runtime_error("no peak memory figure for the program");
}

Ending PtyRun::Finish(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    struct rusage usage {};
    if (wait4(Child, &status, WNOHANG, &usage) == Child) {
      Child = -1;
      ReadUntilQuiet(0);
      return {status, CpuMilliseconds(usage)};
    }
    if (Clock::now() >= deadline) throw std::runtime_error("the program did not end");
    if (!ReadSome(10)) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
}

std::string AsDelivered(const std::string& written) {
  std::string delivered;
  delivered.reserve(written.size() + written.size() / 16);
  for (char c : written) {
    if (c == '\n') delivered += '\r';
    delivered += c;
  }
  return delivered;
}

StartUp TimeStartUp(const std::string& program, const std::vector<std::string>& arguments,
                    int stdinFd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t child = -1;
  const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + program);
  int status = 0;
  struct rusage usage {};
  while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  const auto took = Clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(program + " failed");
  return {took, CpuMilliseconds(usage)};
}

}  // namespace vestalo::bench
