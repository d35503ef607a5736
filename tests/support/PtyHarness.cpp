#include "support/PtyHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>
#include <stdexcept>

#include "console/Cp437.h"

namespace vestalo::testing {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

void AnswerTerminal(const char* bytes, size_t length, void* user) {
  // The terminal's own answers (device attributes, cursor reports) go back to the program.
  int master = *static_cast<int*>(user);
  while (length > 0) {
    ssize_t done = write(master, bytes, length);
    if (done <= 0) return;
    bytes += done;
    length -= static_cast<size_t>(done);
  }
}

int ColourIndex(const VTermColor& colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) return -1;
  if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
  return 1000;  // an RGB colour: never what the program sends
}

int OnTermProp(VTermProp prop, VTermValue* value, void* user) {
  auto& props = *static_cast<TerminalProperties*>(user);
  static const char* const Names[] = {"", "cursorvisible", "cursorblink", "altscreen", "title", "iconname",
                                      "reverse", "cursorshape", "mouse"};
  const bool isString = prop == VTERM_PROP_TITLE || prop == VTERM_PROP_ICONNAME;
  props.PropertyLog.push_back(std::string(prop < 9 ? Names[prop] : "other") + "=" +
                              (isString ? std::string(value->string != nullptr ? value->string : "")
                                        : std::to_string(value->number)));
  switch (prop) {
    case VTERM_PROP_TITLE: props.Title = value->string != nullptr ? value->string : ""; break;
    case VTERM_PROP_ICONNAME: props.IconName = value->string != nullptr ? value->string : ""; break;
    case VTERM_PROP_CURSORVISIBLE: props.CursorVisible = value->boolean != 0; break;
    case VTERM_PROP_CURSORBLINK: props.CursorBlink = value->boolean != 0; break;
    case VTERM_PROP_ALTSCREEN: props.AltScreen = value->boolean != 0; break;
    case VTERM_PROP_REVERSE: props.ReverseScreen = value->boolean != 0; break;
    case VTERM_PROP_MOUSE: props.Mouse = value->number; break;
    default: break;
  }
  return 1;
}

int OnBell(void* user) {
  ++static_cast<TerminalProperties*>(user)->Bells;
  return 1;
}

int OnUnknownCsi(const char* leader, const long args[], int count, const char* intermediates, char command,
                 void* user) {
  std::string text = "CSI ";
  text += leader != nullptr ? leader : "";
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ';';
    if (CSI_ARG(args[i]) != CSI_ARG_MISSING) text += std::to_string(CSI_ARG(args[i]));
  }
  text += intermediates != nullptr ? intermediates : "";
  text += command;
  static_cast<TerminalProperties*>(user)->UnknownSequences.push_back(text);
  return 1;
}

int OnUnknownOsc(const char*, size_t, void* user) {
  static_cast<TerminalProperties*>(user)->UnknownSequences.push_back("OSC");
  return 1;
}

int OnUnknownDcs(const char*, size_t, void* user) {
  static_cast<TerminalProperties*>(user)->UnknownSequences.push_back("DCS");
  return 1;
}

const VTermScreenCallbacks PropertyCallbacks = {nullptr, nullptr, nullptr, OnTermProp, OnBell, nullptr, nullptr, nullptr};
const VTermParserCallbacks UnknownCallbacks = {nullptr, nullptr, nullptr, OnUnknownCsi, OnUnknownOsc, OnUnknownDcs, nullptr};

[[noreturn]] void ExecProgram(const PtyOptions& options) {
  if (!options.Directory.empty() && chdir(options.Directory.c_str()) != 0) _exit(126);
  for (const auto& entry : options.Environment) putenv(const_cast<char*>(entry.c_str()));
  const std::string program = options.Program.empty() ? VESTALO_BINARY : options.Program;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : options.Arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

}  // namespace

std::string Utf8(char32_t c) { return console::EncodeUtf8(c); }

PtyProgram::PtyProgram(PtyOptions options) : Options(std::move(options)) {
  struct winsize size {};
  size.ws_row = static_cast<unsigned short>(Options.Rows);
  size.ws_col = static_cast<unsigned short>(Options.Columns);
  Child = forkpty(&Master, nullptr, nullptr, &size);
  if (Child < 0) throw std::runtime_error("forkpty failed");
  if (Child == 0) {
    setenv("TERM", "xterm-256color", 1);
    setenv("LANG", "C.UTF-8", 1);
    unsetenv("LC_ALL");
    ExecProgram(Options);
  }
  fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
  Term = vterm_new(Options.Rows, Options.Columns);
  vterm_set_utf8(Term, 1);
  vterm_output_set_callback(Term, AnswerTerminal, &Master);
  Screen = vterm_obtain_screen(Term);
  vterm_screen_reset(Screen, 1);
  // Watched from here on: what the reset set is the terminal's own starting state.
  vterm_screen_set_callbacks(Screen, &PropertyCallbacks, &Props);
  vterm_state_set_unrecognised_fallbacks(vterm_obtain_state(Term), &UnknownCallbacks, &Props);
}

bool PtyProgram::PenIsPlain() const {
  VTermState* state = vterm_obtain_state(Term);
  for (VTermAttr attr : {VTERM_ATTR_BOLD, VTERM_ATTR_UNDERLINE, VTERM_ATTR_ITALIC, VTERM_ATTR_BLINK,
                         VTERM_ATTR_REVERSE, VTERM_ATTR_STRIKE, VTERM_ATTR_FONT}) {
    VTermValue value{};
    vterm_state_get_penattr(state, attr, &value);
    if (value.number != 0) return false;
  }
  return true;
}

PtyProgram::~PtyProgram() {
  if (!Done && Child > 0) {
    kill(-Child, SIGKILL);
    kill(Child, SIGKILL);
    waitpid(Child, &Status, 0);
  }
  if (Master >= 0) close(Master);
  if (Term != nullptr) vterm_free(Term);
}

void PtyProgram::Feed(const char* bytes, size_t length) {
  RawOutput.append(bytes, length);
  if (Options.AnswerKittyQuery) {
    QueryWindow.append(bytes, length);
    if (QueryWindow.find(CSI "?u") != std::string::npos) {
      // Answered before the device attributes, as a terminal with the protocol does.
      Send(CSI "?0u");
      QueryWindow.clear();
    } else if (QueryWindow.size() > 16) {
      QueryWindow.erase(0, QueryWindow.size() - 16);
    }
  }
  vterm_input_write(Term, bytes, length);
}

bool PtyProgram::Pump(int timeoutMs) {
  if (Master < 0) return false;
  struct pollfd watch {Master, POLLIN, 0};
  if (poll(&watch, 1, timeoutMs) <= 0) return false;
  char buffer[65536];
  ssize_t got = read(Master, buffer, sizeof buffer);
  if (got > 0) {
    Feed(buffer, static_cast<size_t>(got));
    return true;
  }
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) return false;
  // EIO: every slave side is closed; the program has ended.
  if (!Done && waitpid(Child, &Status, 0) == Child) Done = true;
  return false;
}

bool PtyProgram::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (Done || MillisecondsLeft(deadline) == 0) return condition();
    Pump(MillisecondsLeft(deadline) < 20 ? MillisecondsLeft(deadline) : 20);
    if (!Done && waitpid(Child, &Status, WNOHANG) == Child) {
      Done = true;
      while (Pump(0)) {
      }
    }
  }
}

bool PtyProgram::WaitForText(std::string_view text, int timeoutMs) {
  return WaitUntil([&] { return ScreenText().find(text) != std::string::npos; }, timeoutMs);
}

bool PtyProgram::WaitForKeyMode(int timeoutMs) {
  return WaitUntil([&] { return (TerminalModes().c_lflag & ICANON) == 0; }, timeoutMs);
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
  // Asleep in a wait that began after the last key was sent: that key has been handled.
  return WaitUntil([&] { return VoluntarySwitches() > SwitchesAtSend && InWaitingCall(); }, timeoutMs);
}

bool PtyProgram::WaitForExit(int timeoutMs) {
  return WaitUntil([&] { return Done; }, timeoutMs);
}

int PtyProgram::ExitCode() const { return Done && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1; }

int PtyProgram::TermSignal() const { return Done && WIFSIGNALED(Status) ? WTERMSIG(Status) : 0; }

void PtyProgram::Send(std::string_view bytes) {
  SwitchesAtSend = VoluntarySwitches();
  while (!bytes.empty()) {
    ssize_t done = write(Master, bytes.data(), bytes.size());
    if (done < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (done <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(done));
  }
}

ScreenCell PtyProgram::Cell(int row, int column) const {
  VTermScreenCell cell{};
  vterm_screen_get_cell(Screen, VTermPos{row, column}, &cell);
  ScreenCell result;
  result.Char = cell.chars[0] == 0 ? U' ' : static_cast<char32_t>(cell.chars[0]);
  result.Foreground = ColourIndex(cell.fg, true);
  result.Background = ColourIndex(cell.bg, false);
  result.Reverse = cell.attrs.reverse != 0;
  return result;
}

std::string PtyProgram::RowText(int row) const {
  std::string text;
  for (int column = 0; column < Options.Columns; ++column) text += Utf8(Cell(row, column).Char);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
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

TempFolder::TempFolder() {
  char pattern[] = "/tmp/vestalo-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  Folder = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

std::string TempFolder::Write(const std::string& name, std::string_view bytes) const {
  const std::string path = Folder + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return text;
    text.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace

PipeResult RunWithPipes(const std::vector<std::string>& arguments, const std::string& directory,
                        std::string_view input) {
  char outName[] = "/tmp/vestalo-out-XXXXXX";
  char errName[] = "/tmp/vestalo-err-XXXXXX";
  char inName[] = "/tmp/vestalo-in-XXXXXX";
  int out = mkstemp(outName), err = mkstemp(errName), in = mkstemp(inName);
  if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) _exit(2);
  lseek(in, 0, SEEK_SET);
  pid_t child = fork();
  if (child == 0) {
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    PtyOptions options;
    options.Arguments = arguments;
    options.Directory = directory;
    ExecProgram(options);
  }
  int status = 0;
  waitpid(child, &status, 0);
  PipeResult result;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  lseek(out, 0, SEEK_SET);
  lseek(err, 0, SEEK_SET);
  result.Out = ReadAll(out);
  result.Err = ReadAll(err);
  for (int fd : {out, err, in}) close(fd);
  for (const char* name : {outName, errName, inName}) unlink(name);
  return result;
}

}  // namespace vestalo::testing
