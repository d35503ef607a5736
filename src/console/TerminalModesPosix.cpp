#include "console/TerminalModesPosix.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "base/PlatformPosix.h"
#include "console/SharedPicturePosix.h"

namespace console::posix {

namespace {

constexpr int SlotCount = static_cast<int>(ExitSlot::Count);
// Room for the deletion of every strip of a kitty picture (at most 75, 27 bytes each).
constexpr int SequenceSize = 4096;

// Plain static storage: the signal handlers read all of this.
bool InputTerminal = false;
bool OutputTerminal = false;
bool ModesSaved = false;
struct termios SavedModes;
struct termios ActiveModes;
volatile sig_atomic_t ModesChanged = 0;
volatile sig_atomic_t Resumed = 0;
int ResumedPipe[2] = {-1, -1};  // the stop handler writes a byte on resuming
char ExitSequences[SlotCount][SequenceSize];
char ResumeSequence[SequenceSize];

// The terminal's own bytes: a terminal that cannot take them any more is left as it is.
void WriteAll(int fd, const char* bytes, size_t length) {
  vestalo::platform::WriteAll(fd, bytes, length);
}

// Copies a sequence so that a signal arriving meanwhile sees either nothing or all of it.
void StoreSequence(char* target, const char* bytes) {
  const size_t length = strnlen(bytes, SequenceSize - 1);
  target[0] = '\0';
  memcpy(target + 1, bytes + 1, length > 0 ? length - 1 : 0);
  target[length] = '\0';
  target[0] = bytes[0];
}

void ApplyModes(const struct termios& modes) {
  if (!ModesSaved) return;
  ActiveModes = modes;
  ModesChanged = 1;
  tcsetattr(STDIN_FILENO, TCSADRAIN, &ActiveModes);
}

void SendExitSequences() {
  if (!OutputTerminal) return;
  for (auto& sequence : ExitSequences) WriteAll(STDOUT_FILENO, sequence, strlen(sequence));
}

void OnEndingSignal(int signal) {
  int savedErrno = errno;
  RestoreTerminal();
  RemoveSharedQuestion();  // a terminal that never answered leaves it
  // End as the signal would have ended the program, so the caller sees the usual status.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal);
  errno = savedErrno;
}

void InstallHandler(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
}

void OnStopSignal(int) {
  int savedErrno = errno;
  const struct termios resumeModes = ActiveModes;
  const bool changed = ModesChanged != 0;
  RestoreTerminal();
  InstallHandler(SIGTSTP, SIG_DFL);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(SIGTSTP);
  // Running again: take the terminal back as it was before the stop.
  InstallHandler(SIGTSTP, OnStopSignal);
  if (changed) ApplyModes(resumeModes);
  if (OutputTerminal) WriteAll(STDOUT_FILENO, ResumeSequence, strlen(ResumeSequence));
  Resumed = 1;
  if (ResumedPipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(ResumedPipe[1], &byte, 1);  // full: one waits
  }
  errno = savedErrno;
}

}  // namespace

void TakeTerminal(bool inputIsTerminal, bool outputIsTerminal) {
  InputTerminal = inputIsTerminal;
  OutputTerminal = outputIsTerminal;
  if (InputTerminal && tcgetattr(STDIN_FILENO, &SavedModes) == 0) {
    ModesSaved = true;
    ActiveModes = SavedModes;
  }
  // A closed pipe on standard output must be a reported write failure, not a silent death.
  InstallHandler(SIGPIPE, SIG_IGN);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) InstallHandler(signal, OnEndingSignal);
  if (InputTerminal || OutputTerminal) {
    if (ResumedPipe[0] < 0 && pipe2(ResumedPipe, O_NONBLOCK | O_CLOEXEC) != 0)
      ResumedPipe[0] = ResumedPipe[1] = -1;
    InstallHandler(SIGTSTP, OnStopSignal);
  }
}

void UseLineInput() {
  if (!ModesSaved) return;
  struct termios modes = SavedModes;
  modes.c_lflag |= ICANON | ECHO | ISIG;
  ApplyModes(modes);
}

void UseKeyInput() {
  if (!ModesSaved) return;
  struct termios modes = SavedModes;
  modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  modes.c_lflag |= ISIG;
  modes.c_cc[VMIN] = 1;
  modes.c_cc[VTIME] = 0;
  ApplyModes(modes);
}

bool TakeResumed() {
  // Emptied first, always: a byte left behind would end every wait at once.
  char bytes[64];
  while (ResumedPipe[0] >= 0 && read(ResumedPipe[0], bytes, sizeof bytes) > 0) {
  }
  if (Resumed == 0) return false;
  Resumed = 0;
  return true;
}

int ResumedSignal() { return ResumedPipe[0]; }

void SetExitSequence(ExitSlot slot, const char* bytes) {
  StoreSequence(ExitSequences[static_cast<int>(slot)], bytes);
}

void SetResumeSequence(const char* bytes) { StoreSequence(ResumeSequence, bytes); }

void WriteToTerminal(const char* bytes) {
  if (OutputTerminal) WriteAll(STDOUT_FILENO, bytes, strlen(bytes));
}

void RestoreTerminal() {
  SendExitSequences();
  if (ModesSaved && ModesChanged) {
    tcsetattr(STDIN_FILENO, TCSADRAIN, &SavedModes);
    ModesChanged = 0;
  }
}

}  // namespace console::posix
