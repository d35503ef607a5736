// Runs the real program in a pseudo-terminal and reads its screen back through libvterm,
// so tests check what a person would see: characters, colours, exit status.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vterm.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/PcGlyphs.h"
#include "support/TerminalOutputCheck.h"

namespace vestalo::testing {

// A list of strings as exec takes it.
inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// One screen cell: its character and its colours as ECMA-48 indexes (-1: the default colour;
// 1000: a 24-bit colour), and as the terminal shows them, 0xRRGGBB (-1: the default colour).
struct ScreenCell {
  char32_t Char = U' ';
  int Foreground = -1, Background = -1;
  bool Reverse = false;
  long ForegroundRgb = -1, BackgroundRgb = -1;
};

struct PtyOptions {
  std::vector<std::string> Command{};      // the program and its arguments
  std::string Directory{};                 // working folder
  std::vector<std::string> Environment{};  // extra NAME=VALUE entries
  int Rows = 25, Columns = 80;
  bool AnswerKittyQuery = false;     // answer CSI ? u as a terminal with the kitty protocol
  bool AnswerKittyGraphics = false;  // answer the kitty graphics query OK, as kitty does
  // Read pictures from shared memory, as kitty on the program's computer: the query's pixel
  // and each picture's are read and removed, and the query answered OK.
  bool AnswerKittyMemory = false;
  bool AnswerSixel = false;  // device attributes of a VT340 with sixel (CSI ? 63 ; 4 ; 22 c)
  bool Silent = false;       // answer nothing, as a logging pty or a serial console
  bool Controlling = true;   // false: the terminal is not the program's controlling terminal
  std::string InputFile{};   // read as standard input instead of the terminal
  int MemoryLimitMb = 0;     // the program's address space, when limited
};

// Limits the address space of the process that calls it (a child before its exec).
inline void LimitMemory(int megabytes) {
  if (megabytes <= 0) return;
  struct rlimit limit {};
  limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(megabytes) << 20;
  setrlimit(RLIMIT_AS, &limit);
}

class PtyProgram {
 public:
  explicit PtyProgram(PtyOptions options) : Options(std::move(options)) {
    // The test's environment, with the terminal and locale the tests expect; all made before
    // the fork, after which only async-signal-safe calls are safe.
    // COLORTERM too is the row's to set: the program's colours depend on it.
    std::vector<std::string> environment = Options.Environment;
    const auto given = [&](std::string_view name) {
      return std::any_of(environment.begin(), environment.end(),
                         [&](const std::string& entry) { return entry.starts_with(name); });
    };
    for (const char* fixed : {"TERM=xterm-256color", "LANG=C.UTF-8"})
      if (!given(std::string_view(fixed).substr(0, 5))) environment.emplace_back(fixed);
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string_view text = *entry;
      if (!text.starts_with("TERM=") && !text.starts_with("LANG=") &&
          !text.starts_with("LC_ALL=") && !text.starts_with("COLORTERM="))
        environment.emplace_back(text);
    }
    auto command = Options.Command;
    auto argv = Pointers(command), envp = Pointers(environment);
    struct winsize size {};
    size.ws_row = static_cast<unsigned short>(Options.Rows);
    size.ws_col = static_cast<unsigned short>(Options.Columns);
    Child = forkpty(&Master, nullptr, nullptr, &size);
    if (Child < 0) throw std::runtime_error("forkpty failed");
    if (Child == 0) Exec(argv.data(), envp.data());
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    Term = vterm_new(Options.Rows, Options.Columns);
    vterm_set_utf8(Term, 1);
    vterm_output_set_callback(
        Term,
        [](const char* bytes, size_t length, void* self) {
          // The terminal's own answers (device attributes, cursor reports) go back to the program.
          auto* program = static_cast<PtyProgram*>(self);
          std::string_view answer(bytes, length);
          if (program->Options.AnswerSixel && answer.starts_with("\x1b[?1;2c"))
            answer = "\x1b[?63;4;22c";
          if (!program->Options.Silent) program->Send(answer);
        },
        this);
    Screen = vterm_obtain_screen(Term);
    vterm_screen_reset(Screen, 1);
  }
  ~PtyProgram() {
    if (!Done) kill(Child, SIGKILL), waitpid(Child, &Status, 0);
    // What a killed program could not remove.
    for (const auto& picture : checks::SharedPictures(RawOutput)) shm_unlink(picture.Name.c_str());
    if (Master >= 0) close(Master);
    vterm_free(Term);
  }
  PtyProgram(const PtyProgram&) = delete;
  PtyProgram& operator=(const PtyProgram&) = delete;

  // Types bytes at the terminal.
  void Send(std::string_view bytes) {
    SwitchesAtSend = VoluntarySwitches();
    while (!bytes.empty() && Master >= 0) {
      const ssize_t done = write(Master, bytes.data(), bytes.size());
      if (done < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (done <= 0) return;
      bytes.remove_prefix(static_cast<size_t>(done));
    }
  }

  // Reads the program's output until `condition` holds; false after the timeout.
  bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (condition()) return true;
      if (Done || std::chrono::steady_clock::now() >= deadline) return condition();
      Pump(10);
      if (!Done && waitpid(Child, &Status, WNOHANG) == Child) {
        Done = true;
        while (Pump(0)) {
        }
      }
    }
  }

  // Until the program sleeps in a read or poll begun after the last key sent: it has
  // handled everything before and waits for input (Linux: /proc/PID/syscall). What it
  // wrote before is read too.
  bool WaitForIdle(int timeoutMs) {
    if (!WaitUntil([&] { return !Done && VoluntarySwitches() > SwitchesAtSend && InWaitingCall(); },
                   timeoutMs))
      return false;
    while (Pump(0)) {
    }
    return true;
  }
  bool WaitForExit(int timeoutMs) {
    return WaitUntil([&] { return Done; }, timeoutMs);
  }

  // Exit code after a normal end, -1 otherwise; the signal that ended it, or 0.
  int ExitCode() const { return Done && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1; }
  int TermSignal() const { return Done && WIFSIGNALED(Status) ? WTERMSIG(Status) : 0; }

  ScreenCell Cell(int row, int column) const {
    VTermScreenCell cell{};
    vterm_screen_get_cell(Screen, VTermPos{row, column}, &cell);
    const auto index = [](const VTermColor& colour, bool isDefault) {
      return isDefault                         ? -1
             : VTERM_COLOR_IS_INDEXED(&colour) ? colour.indexed.idx
                                               : 1000;  // RGB: never ours
    };
    const auto rgb = [&](VTermColor colour, bool isDefault) {
      if (isDefault) return -1L;
      vterm_screen_convert_color_to_rgb(Screen, &colour);
      return static_cast<long>(colour.rgb.red) << 16 | colour.rgb.green << 8 | colour.rgb.blue;
    };
    return {cell.chars[0] == 0 ? U' ' : static_cast<char32_t>(cell.chars[0]),
            index(cell.fg, VTERM_COLOR_IS_DEFAULT_FG(&cell.fg)),
            index(cell.bg, VTERM_COLOR_IS_DEFAULT_BG(&cell.bg)),
            cell.attrs.reverse != 0,
            rgb(cell.fg, VTERM_COLOR_IS_DEFAULT_FG(&cell.fg)),
            rgb(cell.bg, VTERM_COLOR_IS_DEFAULT_BG(&cell.bg))};
  }
  // UTF-8, trailing blanks removed.
  std::string RowText(int row) const {
    std::string text;
    for (int column = 0; column < Options.Columns; ++column) text += Utf8(Cell(row, column).Char);
    return text.erase(text.find_last_not_of(' ') + 1);
  }
  // Every row, joined by line feeds.
  std::string ScreenText() const {
    std::string text;
    for (int row = 0; row < Options.Rows; ++row) text += RowText(row) + "\n";
    return text;
  }
  const std::string& Output() const { return RawOutput; }
  // What was wrong with the pictures read from shared memory; empty when nothing.
  const std::string& SharedPictureFaults() const { return SharedFaults; }
  struct termios TerminalModes() const {
    struct termios modes {};
    tcgetattr(Master, &modes);
    return modes;
  }
  void Resize(int rows, int columns) {
    struct winsize size {};
    size.ws_row = static_cast<unsigned short>(Options.Rows = rows);
    size.ws_col = static_cast<unsigned short>(Options.Columns = columns);
    ioctl(Master, TIOCSWINSZ, &size);
    vterm_set_size(Term, rows, columns);
  }
  void SendSignal(int signal) { kill(Child, signal); }
  // Closes the terminal's master side: the program's terminal hangs up.
  void HangUp() { close(Master), Master = -1; }

 private:
  [[noreturn]] void Exec(char** argv, char** envp) {
    if (!Options.Controlling) {
      // Giving up the controlling terminal hangs up its foreground group: ourselves.
      signal(SIGHUP, SIG_IGN);
      ioctl(STDIN_FILENO, TIOCNOTTY);
      signal(SIGHUP, SIG_DFL);
    }
    if (!Options.Directory.empty() && chdir(Options.Directory.c_str()) != 0) _exit(126);
    if (!Options.InputFile.empty()) dup2(open(Options.InputFile.c_str(), O_RDONLY), STDIN_FILENO);
    LimitMemory(Options.MemoryLimitMb);
    execve(argv[0], argv, envp);
    _exit(127);
  }

  bool Pump(int timeoutMs) {
    struct pollfd watch {
      Master, POLLIN, 0
    };
    if (Master < 0 || poll(&watch, 1, timeoutMs) <= 0) return false;
    char buffer[65536];
    const ssize_t got = read(Master, buffer, sizeof buffer);
    if (got <= 0) return false;  // EIO: every slave side is closed, the program has ended
    RawOutput.append(buffer, static_cast<size_t>(got));
    if (Options.AnswerKittyQuery && !KittyAnswered &&
        RawOutput.find("\x1b[?u") != std::string::npos) {
      // Answered before the device attributes, as a terminal with the protocol does.
      KittyAnswered = true;
      Send("\x1b[?0u");
    }
    if (Options.AnswerKittyGraphics && !GraphicsAnswered &&
        RawOutput.find("\x1b_Gi=31,") != std::string::npos) {
      // Before the device attributes that end the questions, as kitty answers.
      GraphicsAnswered = true;
      Send("\x1b_Gi=31;OK\x1b\\");
    }
    if (Options.AnswerKittyMemory) ReadSharedPictures();
    const std::string shown =
        WithoutApplicationStrings(std::string_view(buffer, static_cast<size_t>(got)));
    vterm_input_write(Term, shown.data(), shown.size());
    return true;
  }

  // Reads the pictures in shared memory named since the last look, each as big as its width
  // and height say, and removes them; the memory query's read is answered OK. What went
  // wrong is noted in SharedFaults.
  void ReadSharedPictures() {
    const auto pictures = checks::SharedPictures(RawOutput);
    for (; SharedRead < pictures.size(); ++SharedRead) {
      const auto& picture = pictures[SharedRead];
      const int fd = shm_open(picture.Name.c_str(), O_RDONLY, 0);
      if (fd < 0) {
        SharedFaults += "cannot open the shared memory of " + picture.Keys + "\n";
        continue;
      }
      shm_unlink(picture.Name.c_str());
      struct stat about {};
      const long size = fstat(fd, &about) == 0 ? static_cast<long>(about.st_size) : -1;
      close(fd);
      const auto number = [&](const char* key) {
        const size_t at = picture.Keys.find(key);
        return at == std::string::npos ? 0L : std::stol(picture.Keys.substr(at + 2));
      };
      if (size != number("s=") * number("v=") * 3)
        SharedFaults += "shared memory of another size than the picture: " + picture.Keys + "\n";
      if (picture.Keys.starts_with("i=32,")) Send("\x1b_Gi=32;OK\x1b\\");
    }
  }

  // The bytes without APC strings (kitty graphics), which a terminal never shows but
  // libvterm would show as text; a string may be cut between two reads.
  std::string WithoutApplicationStrings(std::string_view bytes) {
    std::string kept;
    kept.reserve(bytes.size());
    for (char c : bytes) {
      switch (Apc) {
        case ApcState::Text:
          if (c == '\x1b') Apc = ApcState::Escape;
          else kept += c;
          break;
        case ApcState::Escape:
          if (c == '_') Apc = ApcState::Inside;
          else if (kept += '\x1b', c != '\x1b') kept += c, Apc = ApcState::Text;
          break;
        case ApcState::Inside:
          if (c == '\x1b') Apc = ApcState::InsideEscape;
          break;
        case ApcState::InsideEscape:
          Apc = c == '\\'     ? ApcState::Text
                : c == '\x1b' ? ApcState::InsideEscape
                              : ApcState::Inside;
          break;
      }
    }
    return kept;
  }

  long VoluntarySwitches() const {
    std::ifstream status("/proc/" + std::to_string(Child) + "/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
    return -1;
  }

  // The program's scheduling state: 'S' while it sleeps, 'R' while it runs or waits for a
  // processor, even inside a call.
  char State() const {
    std::ifstream file("/proc/" + std::to_string(Child) + "/stat");
    const std::string stat{std::istreambuf_iterator<char>(file), {}};
    const size_t name = stat.rfind(") ");
    return name == std::string::npos || name + 2 >= stat.size() ? '?' : stat[name + 2];
  }

  // True while the program sleeps in one of the calls it awaits input in: read, poll, select.
  // Asleep before and after the look: a quick look for waiting input (a poll that does not
  // wait) may be caught inside its call when a busy machine takes the processor away.
  bool InWaitingCall() const {
#if defined(__x86_64__)
    constexpr long WaitingCalls[] = {0, 7, 23, 270, 271};
#elif defined(__aarch64__)
    constexpr long WaitingCalls[] = {63, 72, 73};
#else
    constexpr long WaitingCalls[] = {3, 142, 168, 308, 309};
#endif
    std::ifstream file("/proc/" + std::to_string(Child) + "/syscall");
    long call = -1;
    const bool asleep = State() == 'S';
    return asleep && file >> call &&
           std::find(std::begin(WaitingCalls), std::end(WaitingCalls), call) !=
               std::end(WaitingCalls) &&
           State() == 'S';
  }

  PtyOptions Options;
  int Master = -1;
  pid_t Child = -1;
  bool Done = false, KittyAnswered = false, GraphicsAnswered = false;
  enum class ApcState { Text, Escape, Inside, InsideEscape } Apc = ApcState::Text;
  int Status = 0;
  VTerm* Term = nullptr;
  VTermScreen* Screen = nullptr;
  std::string RawOutput;
  std::string SharedFaults;  // what was wrong with pictures in shared memory, a line each
  size_t SharedRead = 0;     // the pictures in shared memory read so far
  long SwitchesAtSend = 0;
};

}  // namespace vestalo::testing
