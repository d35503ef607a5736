#include "support/PtyHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <stdexcept>

#include "support/PcGlyphs.h"

namespace vestalo::testing {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = write(fd, bytes.data(), bytes.size());
    if (done < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (done <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(done));
  }
}

// The terminal's own answers (device attributes, cursor reports) go back to the program.
void AnswerTerminal(const char* bytes, size_t length, void* master) {
  WriteAll(*static_cast<int*>(master), std::string_view(bytes, length));
}

int ColourIndex(const VTermColor& colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) return -1;
  return VTERM_COLOR_IS_INDEXED(&colour) ? colour.indexed.idx : 1000;  // RGB: never the program's
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Runs in the child: only what is safe after a fork, as the tests may run threads.
[[noreturn]] void ExecProgram(const PtyOptions& options, char** argv, char** envp) {
  if (!options.Controlling) {
    // Giving up the controlling terminal hangs up its foreground group: ourselves.
    signal(SIGHUP, SIG_IGN);
    ioctl(STDIN_FILENO, TIOCNOTTY);
    signal(SIGHUP, SIG_DFL);
  }
  if (!options.Directory.empty() && chdir(options.Directory.c_str()) != 0) _exit(126);
  if (!options.InputFile.empty()) dup2(open(options.InputFile.c_str(), O_RDONLY), STDIN_FILENO);
  execve(argv[0], argv, envp);
  _exit(127);
}

}  // namespace

PtyProgram::PtyProgram(PtyOptions options) : Options(std::move(options)) {
  struct winsize size {};
  size.ws_row = static_cast<unsigned short>(Options.Rows);
  size.ws_col = static_cast<unsigned short>(Options.Columns);
  // The test's environment, with the terminal and locale the tests expect.
  std::vector<std::string> environment{"TERM=xterm-256color", "LANG=C.UTF-8"};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    if (!text.starts_with("TERM=") && !text.starts_with("LANG=") && !text.starts_with("LC_ALL=")) environment.emplace_back(text);
  }
  environment.insert(environment.end(), Options.Environment.begin(), Options.Environment.end());
  auto command = Options.Command;
  auto argv = Pointers(command), envp = Pointers(environment);
  Child = forkpty(&Master, nullptr, nullptr, &size);
  if (Child < 0) throw std::runtime_error("forkpty failed");
  if (Child == 0) ExecProgram(Options, argv.data(), envp.data());
  fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
  Term = vterm_new(Options.Rows, Options.Columns);
  vterm_set_utf8(Term, 1);
  vterm_output_set_callback(Term, AnswerTerminal, &Master);
  Screen = vterm_obtain_screen(Term);
  vterm_screen_reset(Screen, 1);
}

PtyProgram::~PtyProgram() {
  if (!Done && Child > 0) {
    kill(Child, SIGKILL);
    waitpid(Child, &Status, 0);
  }
  if (Master >= 0) close(Master);
  vterm_free(Term);
}

bool PtyProgram::Pump(int timeoutMs) {
  struct pollfd watch {Master, POLLIN, 0};
  if (Master < 0 || poll(&watch, 1, timeoutMs) <= 0) return false;
  char buffer[65536];
  const ssize_t got = read(Master, buffer, sizeof buffer);
  if (got <= 0) return false;  // EIO: every slave side is closed, the program has ended
  RawOutput.append(buffer, static_cast<size_t>(got));
  if (Options.AnswerKittyQuery && !KittyAnswered && RawOutput.find("\x1b[?u") != std::string::npos) {
    // Answered before the device attributes, as a terminal with the protocol does.
    KittyAnswered = true;
    Send("\x1b[?0u");
  }
  vterm_input_write(Term, buffer, static_cast<size_t>(got));
  return true;
}

bool PtyProgram::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (Done || MillisecondsLeft(deadline) == 0) return condition();
    Pump(MillisecondsLeft(deadline) < 10 ? MillisecondsLeft(deadline) : 10);
    if (!Done && waitpid(Child, &Status, WNOHANG) == Child) {
      Done = true;
      while (Pump(0)) {
      }
    }
  }
}

long PtyProgram::VoluntarySwitches() const {
  std::ifstream status("/proc/" + std::to_string(Child) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
  return -1;
}

bool PtyProgram::InWaitingCall() const {
  // The calls a program blocks in while it awaits input: read, poll, select and their kin.
#if defined(__x86_64__)
  static const std::vector<long> WaitingCalls = {0, 7, 23, 270, 271};
#elif defined(__aarch64__)
  static const std::vector<long> WaitingCalls = {63, 72, 73};
#else
  static const std::vector<long> WaitingCalls = {3, 142, 168, 308, 309};
#endif
  std::ifstream file("/proc/" + std::to_string(Child) + "/syscall");
  long call = -1;
  if (!(file >> call)) return false;
  for (long waiting : WaitingCalls)
    if (call == waiting) return true;
  return false;
}

bool PtyProgram::WaitForIdle(int timeoutMs) {
  if (!WaitUntil([&] { return !Done && VoluntarySwitches() > SwitchesAtSend && InWaitingCall(); }, timeoutMs))
    return false;
  // Everything it wrote before it began to wait is read too.
  while (Pump(0)) {
  }
  return true;
}

int PtyProgram::ExitCode() const { return Done && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1; }

int PtyProgram::TermSignal() const { return Done && WIFSIGNALED(Status) ? WTERMSIG(Status) : 0; }

void PtyProgram::Send(std::string_view bytes) {
  SwitchesAtSend = VoluntarySwitches();
  WriteAll(Master, bytes);
}

ScreenCell PtyProgram::Cell(int row, int column) const {
  VTermScreenCell cell{};
  vterm_screen_get_cell(Screen, VTermPos{row, column}, &cell);
  return {cell.chars[0] == 0 ? U' ' : static_cast<char32_t>(cell.chars[0]), ColourIndex(cell.fg, true),
          ColourIndex(cell.bg, false), cell.attrs.reverse != 0};
}

std::string PtyProgram::RowText(int row) const {
  std::string text;
  for (int column = 0; column < Options.Columns; ++column) text += Utf8(Cell(row, column).Char);
  return text.erase(text.find_last_not_of(' ') + 1);
}

std::string PtyProgram::ScreenText() const {
  std::string text;
  for (int row = 0; row < Options.Rows; ++row) text += RowText(row) + "\n";
  return text;
}

int PtyProgram::CursorRow() const {
  VTermPos position{};
  vterm_state_get_cursorpos(vterm_obtain_state(Term), &position);
  return position.row;
}

int PtyProgram::CursorColumn() const {
  VTermPos position{};
  vterm_state_get_cursorpos(vterm_obtain_state(Term), &position);
  return position.col;
}

struct termios PtyProgram::TerminalModes() const {
  struct termios modes {};
  tcgetattr(Master, &modes);
  return modes;
}

void PtyProgram::Resize(int rows, int columns) {
  struct winsize size {};
  size.ws_row = static_cast<unsigned short>(rows);
  size.ws_col = static_cast<unsigned short>(columns);
  ioctl(Master, TIOCSWINSZ, &size);
  vterm_set_size(Term, rows, columns);
  Options.Rows = rows;
  Options.Columns = columns;
}

void PtyProgram::SendSignal(int signal) { kill(Child, signal); }

void PtyProgram::HangUp() {
  close(Master);
  Master = -1;
}

}  // namespace vestalo::testing
