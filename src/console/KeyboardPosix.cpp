// Key events from a POSIX terminal (or from whatever standard input is): bytes are read as
// they come and decoded; the kitty keyboard protocol is used where the terminal has it.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <string>

#include "console/Console.h"
#include "console/ConsolePosix.h"
#include "console/KeyDecoder.h"
#include "console/KeyEvent.h"
#include "console/KittyKeyboardPosix.h"
#include "console/TerminalModesPosix.h"

namespace console {

namespace {

// An Esc key is told from the start of a sequence only by the silence after it.
constexpr int EscapeWaitMs = 50;
// How long an unanswered question is awaited as the program leaves: long enough for a
// terminal across a network to answer, short enough not to be noticed.
constexpr auto KittyAnswerWait = std::chrono::milliseconds(200);

constexpr const char* KittyQueryText = "\x1b[?u";
constexpr const char* AttributesQuestion = "\x1b[c";
// Press, repeat and release events (2), every key as an escape code (8) so plain keys are
// released too, unambiguous Esc (1), and the shifted key reported (4) so Shift+1 gives '!'.
constexpr const char* KittyPush = "\x1b[>15u";
constexpr const char* KittyPop = "\x1b[<u";

// Under the protocol these Ctrl keys reach the program as keys, no longer as signals.
struct SignalKey {
  uint8_t Character;
  int Signal;
};
constexpr SignalKey SignalKeys[] = {{0x03, SIGINT}, {0x1C, SIGQUIT}, {0x1A, SIGTSTP}};

KeyDecoder Decoder;
std::deque<KeyEvent> Ready;  // keys decoded while asking whether input waits
bool KittyPushed = false;
bool InputEnded = false;

// The protocol query goes out at the first key wait, never before a screen is drawn: a
// terminal that does not answer (a serial console, a logging pty) must not delay anything.
enum class Query { NotAsked, Asked, Answered };
Query KittyQuery = Query::NotAsked;
std::chrono::steady_clock::time_point QueryAskedAt;
// Every round of questions ends with the device attributes question; the answers to a round
// are all in once its answer is. The picture questions' round, while it is awaited.
int AttributesAsked = 0;
int PictureRound = 0;

enum class Arrival { Bytes, Quiet, Ended };

// Waits up to `timeoutMs` (-1: for ever) for input and hands what came to the decoder.
Arrival ReadInput(int timeoutMs) {
  struct pollfd watch[2] = {{STDIN_FILENO, POLLIN, 0}, {posix::ResumedSignal(), POLLIN, 0}};
  const int ready = poll(watch, watch[1].fd >= 0 ? 2 : 1, timeoutMs);
  if ((ready < 0 && errno == EINTR) || (ready > 0 && (watch[1].revents & POLLIN))) {
    // A signal came, or a stop before the wait: after a stop (Ctrl+Z) and fg the screen is
    // drawn again at once.
    RepaintIfResumed();
    return Arrival::Bytes;
  }
  if (ready < 0) return Arrival::Ended;
  if (ready == 0) return Arrival::Quiet;
  char buffer[512];
  const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
  if (got > 0) {
    Decoder.Push(std::string_view(buffer, static_cast<size_t>(got)));
    return Arrival::Bytes;
  }
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return Arrival::Bytes;
  // End of a pipe or file, or a terminal that hung up (EIO).
  return Arrival::Ended;
}

void PushKittyProtocol() {
  posix::SetExitSequence(posix::ExitSlot::Keyboard, KittyPop);
  posix::SetResumeSequence(KittyPush);
  posix::WriteToTerminal(KittyPush);
  Decoder.SetKittyEvents(true);
  KittyPushed = true;
}

// The answers come in among the keys, whenever the terminal sends them; the decoder takes
// them out of the stream. A terminal with the protocol answers its query before the device
// attributes, which every terminal answers.
void ActOnAnswers() {
  if (KittyQuery == Query::Asked) {
    if (Decoder.SawKittyFlags() && !KittyPushed) PushKittyProtocol();
    if (Decoder.SawDeviceAttributes()) KittyQuery = Query::Answered;
  }
  if (PictureRound > 0 && Decoder.Answered().DeviceAttributesSeen >= PictureRound) {
    // Pictures take over from the cells only now: a terminal that never answers keeps them.
    PictureRound = 0;
    PicturesAnswered(Decoder.Answered());
  }
}

// Keys are read one by one without echo. The questions go out only now, not at start, so
// that nothing waits for the terminal before a screen is drawn and the Enter wait's line
// read never sees the protocol: the keyboard's at the first key wait, those about pictures
// at the first after a graphical screen.
void EnterKeyInput() {
  posix::UseKeyInput();
  if (!InputIsConsole() || !OutputIsConsole()) return;
  std::string questions;
  if (KittyQuery == Query::NotAsked) {
    questions = KittyQueryText;
    KittyQuery = Query::Asked;
  }
  const std::string pictures = PictureQuestionsToAsk();
  if (questions.empty() && pictures.empty()) return;
  questions += pictures.empty() ? AttributesQuestion : pictures;
  if (!pictures.empty()) PictureRound = AttributesAsked + 1;
  ++AttributesAsked;
  posix::WriteToTerminal(questions.c_str());
  QueryAskedAt = std::chrono::steady_clock::now();
}

// Ctrl+C (and Ctrl+\, Ctrl+Z) under the protocol: the program acts on the signal as if the
// terminal had sent it; the handler puts the terminal back. True for such keys' events.
bool IsSignalKey(const KeyEvent& event) {
  if (!KittyPushed || (event.ControlState & (KeyState::LeftCtrl | KeyState::RightCtrl)) == 0)
    return false;
  for (const auto& key : SignalKeys) {
    if (event.Character != key.Character) continue;
    if (event.KeyDown) raise(key.Signal);
    RepaintIfResumed();
    return true;
  }
  return false;
}

// Takes every complete key out of the decoder into Ready; a sequence still in pieces is
// given the short wait for its rest, then taken as it is.
void DecodeWaitingKeys() {
  KeyEvent event;
  bool expired = false;
  for (;;) {
    const DecodeResult result = Decoder.Next(event, expired);
    ActOnAnswers();
    if (result == DecodeResult::Key) {
      if (!IsSignalKey(event)) Ready.push_back(event);
      continue;
    }
    if (result == DecodeResult::Empty || expired || InputEnded) return;
    const Arrival arrival = ReadInput(EscapeWaitMs);
    expired = arrival != Arrival::Bytes;
    InputEnded = arrival == Arrival::Ended;
  }
}

}  // namespace

bool ReadKeyEvent(KeyEvent& event) {
  EnterKeyInput();
  bool expired = false;
  for (;;) {
    if (!Ready.empty()) {
      event = Ready.front();
      Ready.pop_front();
      return true;
    }
    const DecodeResult result = Decoder.Next(event, expired);
    ActOnAnswers();
    if (result == DecodeResult::Key) {
      if (IsSignalKey(event)) continue;
      return true;
    }
    if (InputEnded) {
      if (result == DecodeResult::Empty) return false;
      expired = true;  // the rest of a sequence will never come
      continue;
    }
    const Arrival arrival = ReadInput(result == DecodeResult::NeedMore ? EscapeWaitMs : -1);
    expired = arrival != Arrival::Bytes;
    InputEnded = arrival == Arrival::Ended;
  }
}

int WaitingKeyInput() {
  // Only keys count: the terminal's answers, which may arrive at any time, are read and
  // taken out first, so that an answer never passes for a key typed while drawing.
  while (!InputEnded) {
    const Arrival arrival = ReadInput(0);
    InputEnded = arrival == Arrival::Ended;
    if (arrival != Arrival::Bytes) break;
  }
  DecodeWaitingKeys();
  return static_cast<int>(Ready.size());
}

bool KeyEventWithin(int timeoutMs) {
  EnterKeyInput();
  DecodeWaitingKeys();
  if (!Ready.empty() || InputEnded) return true;
  const Arrival arrival = ReadInput(timeoutMs);
  InputEnded = arrival == Arrival::Ended;
  DecodeWaitingKeys();
  return !Ready.empty() || InputEnded;
}

namespace posix {

void FinishKeyboardQuery() {
  if (Decoder.Answered().DeviceAttributesSeen >= AttributesAsked) return;
  const auto deadline = QueryAskedAt + KittyAnswerWait;
  while (Decoder.Answered().DeviceAttributesSeen < AttributesAsked && !InputEnded) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    InputEnded = ReadInput(static_cast<int>(left.count())) == Arrival::Ended;
    KeyEvent event;
    while (Decoder.Next(event) == DecodeResult::Key) {
    }
  }
  KittyQuery = Query::Answered;
}

}  // namespace posix

}  // namespace console
