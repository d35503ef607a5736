#include "PtyRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "support/TerminalOutputCheck.h"

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

// The program's state as the scheduler has it ('S' while it sleeps), or '?' once it is gone.
char ProcessState(pid_t child) {
  std::ifstream file("/proc/" + std::to_string(child) + "/stat");
  std::string stat;
  std::getline(file, stat);
  const size_t nameEnd = stat.rfind(')');  // the state follows the name, which may hold anything
  return nameEnd != std::string::npos && nameEnd + 2 < stat.size() ? stat[nameEnd + 2] : '?';
}

[[noreturn]] void Exec(const Launch& launch) {
  if (!launch.Directory.empty() && chdir(launch.Directory.c_str()) != 0) _exit(126);
  // Box drawing reaches the terminal as UTF-8, as on a usual desktop.
  setenv("LC_ALL", "C.UTF-8", 1);
  for (const auto& entry : launch.Environment) {
    const size_t equals = entry.find('=');
    setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
  }
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

PtyRun::PtyRun(const Launch& launch)
    : AnswerQueries(launch.AnswerQueries || launch.AnswerKittyGraphics),
      AnswerKittyGraphics(launch.AnswerKittyGraphics),
      AnswerKittyMemory(launch.AnswerKittyMemory) {
  struct winsize size {};
  size.ws_row = static_cast<unsigned short>(launch.Rows);
  size.ws_col = static_cast<unsigned short>(launch.Columns);
  size.ws_xpixel = static_cast<unsigned short>(launch.Columns * 8);
  size.ws_ypixel = static_cast<unsigned short>(launch.Rows * 16);
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
  for (const auto& name : Names) shm_unlink(name.c_str());
}

bool PtyRun::ReadSome(int timeoutMs) {
  char buffer[64 * 1024];
  for (;;) {
    ssize_t got = read(Master, buffer, sizeof buffer);
    if (got > 0) {
      Out.append(buffer, static_cast<size_t>(got));
      if (AnswerQueries) Answer();
      MaskSharedNames();
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

namespace {

// Reads a shared memory object in whole and removes it, as kitty does; its size, or 0.
size_t ReadShared(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) return 0;
  shm_unlink(name.c_str());
  struct stat about {};
  size_t size = 0;
  if (fstat(fd, &about) == 0 && about.st_size > 0) {
    size = static_cast<size_t>(about.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED) {
      size = 0;
    } else {
      // Every byte is taken, as a terminal takes the pixels.
      std::vector<char> copy(static_cast<const char*>(mapped),
                             static_cast<const char*>(mapped) + size);
      munmap(mapped, size);
    }
  }
  close(fd);
  return size;
}

}  // namespace

// A kitty graphics command at `at`: where it ends (npos while incomplete). A command naming
// shared memory has its object read, its name masked, and the memory query answered.
bool PtyRun::TakeGraphicsCommand(size_t at, size_t& end) {
  end = Out.find("\x1b\\", at);
  if (end == std::string::npos) return false;
  end += 2;
  const std::string_view command(Out.data() + at + 3, end - 2 - at - 3);
  const size_t semicolon = command.find(';');
  const std::string_view keys = command.substr(0, semicolon);
  if (keys.starts_with("i=31,") && AnswerKittyGraphics) Type("\x1b_Gi=31;OK\x1b\\");
  if (!AnswerKittyMemory || semicolon == std::string_view::npos || keys.find("t=s") == keys.npos)
    return true;
  const size_t read = ReadShared(checks::FromBase64(command.substr(semicolon + 1)));
  Shared += read;
  if (keys.starts_with("i=32,") && read > 0) Type("\x1b_Gi=32;OK\x1b\\");
  return true;
}

// Masks the names of shared memory objects in what arrived, once read, and notes them to be
// removed at the end: a terminal that reads no shared memory leaves the program's question.
void PtyRun::MaskSharedNames() {
  for (;;) {
    const size_t at = Out.find("\x1b_G", Masked);
    if (at == std::string::npos) {
      Masked = Out.size() < 2 ? 0 : Out.size() - 2;
      return;
    }
    const size_t end = Out.find("\x1b\\", at);
    if (end == std::string::npos) {
      Masked = at;
      return;
    }
    Masked = end + 2;
    const std::string_view command(Out.data() + at + 3, end - at - 3);
    const size_t semicolon = command.find(';');
    if (semicolon == std::string_view::npos ||
        command.substr(0, semicolon).find("t=s") == std::string_view::npos)
      continue;
    Names.push_back(checks::FromBase64(command.substr(semicolon + 1)));
    std::fill(Out.begin() + static_cast<long>(at + 3 + semicolon + 1),
              Out.begin() + static_cast<long>(end), '*');
  }
}

void PtyRun::Answer() {
  struct Question {
    std::string_view Asked, Answer;
    bool Kitty;  // asked of a terminal with kitty graphics only
  };
  static constexpr Question Questions[] = {
      {"\x1b[c", DeviceAttributesAnswer, false},
      {"\x1b_G", {}, true},  // a graphics command: the queries, and pictures in shared memory
      {"\x1b[16t", CellSizeAnswer, true},
  };
  // Answered in the order asked, as a terminal reads them.
  for (;;) {
    size_t first = std::string::npos;
    const Question* next = nullptr;
    for (const auto& question : Questions) {
      if (question.Kitty && !AnswerKittyGraphics) continue;
      const size_t at = Out.find(question.Asked, Answered);
      if (at < first) first = at, next = &question;
    }
    if (next == nullptr) break;
    if (next->Answer.empty()) {
      size_t end = 0;
      if (!TakeGraphicsCommand(first, end)) {
        Answered = first;  // its end comes with the next read
        return;
      }
      Answered = end;
      continue;
    }
    Type(std::string(next->Answer));
    Answered = first + next->Asked.size();
  }
  // A question split over two reads is found next time.
  size_t longest = 0;
  for (const auto& question : Questions) longest = std::max(longest, question.Asked.size());
  if (Out.size() >= longest) Answered = std::max(Answered, Out.size() - (longest - 1));
}

void PtyRun::ClearOutput() {
  Out.clear();
  Shared = 0;
  Masked = 0;
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
    // The file gives the call's number whenever the program is off the processor: also when
    // it was only preempted in a poll that does not wait, as the help menu's look for a key
    // typed meanwhile (a key typed then ends the menu). So the program must be asleep as well,
    // before and after the call is read.
    const bool asleep = ProcessState(Child) == 'S';
    std::ifstream file(path);
    long number = -1;
    unsigned long firstArgument = 0;
    if (asleep && file >> number >> std::hex >> firstArgument &&
        IsWaitingCall(number, firstArgument) && ProcessState(Child) == 'S')
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

double PtyRun::CpuMsSoFar() const {
  clockid_t clock{};
  struct timespec used {};
  if (clock_getcpuclockid(Child, &clock) != 0 || clock_gettime(clock, &used) != 0)
    throw std::runtime_error("no processor time for the program");
  return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
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
