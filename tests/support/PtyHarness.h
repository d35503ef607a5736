// Runs the real program in a pseudo-terminal and reads its screen back through libvterm,
// so tests check what a person would see: characters, colours, cursor, exit status.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct VTerm;
struct VTermScreen;

namespace vestalo::testing {

// One screen cell: its character and its colours as ECMA-48 indexes (-1: the default colour).
struct ScreenCell {
  char32_t Char = U' ';
  int Foreground = -1;
  int Background = -1;
  bool Reverse = false;
};

struct PtyOptions {
  std::vector<std::string> Command{};      // the program and its arguments
  std::string Directory{};                 // working folder
  std::vector<std::string> Environment{};  // extra NAME=VALUE entries
  int Rows = 25;
  int Columns = 80;
  bool AnswerKittyQuery = false;  // answer CSI ? u as a terminal with the kitty protocol
  bool Controlling = true;        // false: the terminal is not the program's controlling terminal
  std::string InputFile{};        // read as standard input instead of the terminal
};

class PtyProgram {
 public:
  explicit PtyProgram(PtyOptions options);
  ~PtyProgram();
  PtyProgram(const PtyProgram&) = delete;
  PtyProgram& operator=(const PtyProgram&) = delete;

  // Types bytes at the terminal.
  void Send(std::string_view bytes);
  // Reads the program's output until `condition` holds; false after the timeout.
  bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);
  // Until the program sleeps in a read or poll begun after the last key sent: it has
  // handled everything before and waits for input (Linux: /proc/PID/syscall).
  bool WaitForIdle(int timeoutMs);
  bool WaitForExit(int timeoutMs) { return WaitUntil([&] { return Done; }, timeoutMs); }

  bool Exited() const { return Done; }
  // Exit code after a normal end, -1 otherwise; the signal that ended it, or 0.
  int ExitCode() const;
  int TermSignal() const;

  ScreenCell Cell(int row, int column) const;
  std::string RowText(int row) const;  // UTF-8, trailing blanks removed
  std::string ScreenText() const;      // every row, joined by line feeds
  int CursorRow() const;
  int CursorColumn() const;
  const std::string& Output() const { return RawOutput; }
  struct termios TerminalModes() const;
  void Resize(int rows, int columns);
  void SendSignal(int signal);
  // Closes the terminal's master side: the program's terminal hangs up.
  void HangUp();

 private:
  bool Pump(int timeoutMs);
  long VoluntarySwitches() const;
  bool InWaitingCall() const;

  PtyOptions Options;
  int Master = -1;
  pid_t Child = -1;
  bool Done = false;
  int Status = 0;
  VTerm* Term = nullptr;
  VTermScreen* Screen = nullptr;
  std::string RawOutput;
  bool KittyAnswered = false;
  long SwitchesAtSend = 0;
};

}  // namespace vestalo::testing
