// Runs a program in a fresh pseudo-terminal whose other side is drained by this process,
// as a terminal emulator would read it, and times what arrives.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vestalo::bench {

using Clock = std::chrono::steady_clock;

// What the reader answers to the device attributes query: a VT220-like terminal.
constexpr std::string_view DeviceAttributesAnswer = "\x1b[?62;22c";
// What a terminal with kitty graphics answers to the question for its cell size in pixels
// (8x16, the PC's text cell); its graphics query is answered "\x1b_Gi=31;OK\x1b\\".
constexpr std::string_view CellSizeAnswer = "\x1b[6;16;8t";

// How a program is started: its path, arguments, folder and environment.
struct Launch {
  std::string Program;
  std::vector<std::string> Arguments{};
  std::string Directory{};     // empty: the current one
  bool RawOutput = false;      // the terminal sends what was written, without CR before LF
  bool AnswerQueries = false;  // answer the device attributes query, as every terminal does
  // Also answer the kitty graphics query OK and the cell size question, as kitty does (but
  // not the kitty keyboard query: keys stay the usual escape sequences).
  bool AnswerKittyGraphics = false;
  // Also read pictures from shared memory (t=s), as kitty does for a program on its computer:
  // the memory query is answered OK once its pixel was read, and every object named is read
  // in whole and removed as its command arrives.
  bool AnswerKittyMemory = false;
  std::vector<std::string> Environment{};  // NAME=VALUE entries set for the program
  // The terminal's size in cells; in pixels it is 8x16 a cell, the PC's text cell.
  int Rows = 25, Columns = 80;
};

// How a program ended.
struct Ending {
  int Status = -1;   // as waitpid reports it
  double CpuMs = 0;  // processor time, user and system
};

class PtyRun {
 public:
  // Starts the program in a terminal of the launch's size (80x25 by default) in the UTF-8
  // locale.
  explicit PtyRun(const Launch& launch);
  ~PtyRun();
  PtyRun(const PtyRun&) = delete;
  PtyRun& operator=(const PtyRun&) = delete;

  // Reads until `done(Output())` holds; false on timeout or when the terminal closes first.
  bool ReadUntil(const std::function<bool(const std::string&)>& done, int timeoutMs = 10000);
  // Reads until nothing has arrived for `quietMs`.
  void ReadUntilQuiet(int quietMs);
  // Types bytes at the terminal.
  void Type(const std::string& bytes);
  // True once the program sleeps in a read or poll: it waits for a key.
  bool WaitUntilBlocked(int timeoutMs = 5000);
  // The program's peak resident set so far, in KiB, as the kernel counts it since the
  // program was started (wait4 would count this process's pages copied at fork too).
  long PeakRssKb() const;
  // The processor time the running program has taken so far, all its threads, in ms.
  double CpuMsSoFar() const;
  // Reads everything until the program has ended and returns how it ended.
  Ending Finish(int timeoutMs = 30000);

  // What arrived; the names of shared memory objects, which differ from run to run, each
  // masked by as many '*'.
  const std::string& Output() const { return Out; }
  // The bytes read from shared memory so far.
  size_t SharedBytes() const { return Shared; }
  // Forgets what has arrived so far.
  void ClearOutput();
  pid_t Pid() const { return Child; }

 private:
  bool ReadSome(int timeoutMs);
  void Answer();
  bool TakeGraphicsCommand(size_t at, size_t& end);
  void MaskSharedNames();

  int Master = -1;
  pid_t Child = -1;
  bool Closed = false;
  bool AnswerQueries = false;
  bool AnswerKittyGraphics = false;
  bool AnswerKittyMemory = false;
  size_t Shared = 0;
  size_t Masked = 0;               // where the search for the next name to mask starts
  std::vector<std::string> Names;  // every shared memory object named
  size_t Answered = 0;             // where the search for the next query starts
  std::string Out;
};

// The bytes a terminal delivers for `written` with its usual output modes: CR before LF.
std::string AsDelivered(const std::string& written);

// Start-up of a program with standard output to /dev/null: the time until it has ended,
// and the processor time it took.
struct StartUp {
  Clock::duration Took{};
  double CpuMs = 0;
};
StartUp TimeStartUp(const std::string& program, const std::vector<std::string>& arguments,
                    int stdinFd);

}  // namespace vestalo::bench
