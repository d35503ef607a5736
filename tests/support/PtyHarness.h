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

#define ESC "\x1b"
#define CSI "\x1b["

// One screen cell: its character and its colours as ECMA-48 indexes (-1: the default colour).
struct ScreenCell {
  char32_t Char = U' ';
  int Foreground = -1;
  int Background = -1;
  bool Reverse = false;
};

// What a program can change in a terminal besides the cells: its window title, modes and
// the pen that later text is written with. Filled from libvterm's callbacks.
struct TerminalProperties {
  std::string Title;
  std::string IconName;
  bool CursorVisible = true;
  bool CursorBlink = false;
  bool AltScreen = false;
  bool ReverseScreen = false;
  int Mouse = 0;              // 0: no mouse reports asked for
  std::vector<std::string> PropertyLog;  // every property set: "name=value"
  int Bells = 0;
  std::vector<std::string> UnknownSequences;  // what the terminal did not act on: "CSI ?u", "OSC", "DCS"
};

struct PtyOptions {
  std::vector<std::string> Arguments;  // after the program's name
  std::string Directory;               // working folder; empty: the current one
  std::string Program;                 // empty: the vestalo binary under test
  std::vector<std::string> Environment;  // extra NAME=VALUE entries
  int Rows = 25;
  int Columns = 80;
  bool AnswerKittyQuery = false;  // answer CSI ? u as a terminal with the kitty protocol
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
  bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
  bool WaitForText(std::string_view text, int timeoutMs = 5000);
  // Waits until the terminal is no longer in canonical mode (the program reads keys).
  bool WaitForKeyMode(int timeoutMs = 5000);
  // Waits until the program sleeps in a read or poll of its input: it has handled
  // everything before and is waiting for a key (Linux: /proc/PID/syscall).
  bool WaitForIdle(int timeoutMs = 5000);
  // Waits for the program to end, reading all it wrote; false after the timeout.
  bool WaitForExit(int timeoutMs = 5000);

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
  const TerminalProperties& Properties() const { return Props; }
  // True when text written now would have no bold, underline, italic, blink, reverse,
  // strike-through or other font: only colours may differ from the terminal's default.
  bool PenIsPlain() const;
  struct termios TerminalModes() const;
  pid_t Pid() const { return Child; }
  void Resize(int rows, int columns);
  void SendSignal(int signal);
  // Closes the terminal's master side: the program's terminal hangs up.
  void HangUp();

 private:
  bool Pump(int timeoutMs);
  long VoluntarySwitches() const;
  bool InWaitingCall() const;
  void Feed(const char* bytes, size_t length);

  PtyOptions Options;
  int Master = -1;
  pid_t Child = -1;
  bool Done = false;
  int Status = 0;
  VTerm* Term = nullptr;
  VTermScreen* Screen = nullptr;
  std::string RawOutput;
  TerminalProperties Props;
  std::string QueryWindow;
  long SwitchesAtSend = 0;  // the last bytes seen, to spot queries split over reads
};

// Creates a fresh folder for a test's files; removed with its contents when it goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return Folder; }
  // Writes a file inside the folder and returns its full path.
  std::string Write(const std::string& name, std::string_view bytes) const;

 private:
  std::string Folder;
};

// Runs the program without a terminal: standard input from `input`, output captured.
struct PipeResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};
PipeResult RunWithPipes(const std::vector<std::string>& arguments, const std::string& directory = "",
                        std::string_view input = "");

// UTF-8 of a Unicode character.
std::string Utf8(char32_t c);

}  // namespace vestalo::testing
