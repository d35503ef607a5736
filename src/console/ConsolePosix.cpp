// The console on a POSIX terminal: colours travel in-band as escape sequences, bytes are
// shown as the PC would show them, and nothing of a screen file reaches the terminal as a
// control sequence.
#include "console/ConsolePosix.h"

#include <langinfo.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/PlatformPosix.h"
#include "console/Console.h"
#include "console/KittyKeyboardPosix.h"
#include "console/TerminalModesPosix.h"
#include "console/TerminalWriter.h"
#include "screen/Attribute.h"

namespace console {

namespace {

// Enough to draw a large screen in one go, small enough to show progress on a huge file.
constexpr size_t GatherLimit = 64 * 1024;

bool InputTerminal = false;
bool OutputTerminal = false;
uint16_t Attr = screen::StartAttr;
std::optional<TerminalWriter> Writer;

// What the screen shows since its last clear, to draw it again after a stop: the clear's
// colours and each run of text in its colours. A screen larger than this is not kept.
constexpr size_t KeptScreenBytes = 4 * 1024 * 1024;
struct ShownScreen {
  bool Kept = false;
  uint16_t ClearAttr = screen::StartAttr;
  std::vector<std::pair<uint16_t, std::string>> Runs;
  size_t Bytes = 0;
};
ShownScreen Shown;

// The smallest terminal a screen was drawn in, when it was smaller than the boot screen.
int FewestRows = FrameLayout::Rows, FewestColumns = FrameLayout::Columns;

int SendAll(std::string& pending) {
  const int error = vestalo::platform::WriteAll(STDOUT_FILENO, pending.data(), pending.size());
  pending.clear();
  return error;
}

void NoteColoursSent() {
  static bool noted = false;
  if (noted || !Writer || !Writer->ColoursSent()) return;
  // From now on the terminal holds our colours; leaving hands it back its own.
  posix::SetExitSequence(posix::ExitSlot::Colours, "\x1b[0m");
  noted = true;
}

// True when the terminal can hold the boot screen's 80x25 frame; a smaller one lays out
// the text itself, and what it lacks is noted for the end.
bool FitsBootScreen() {
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return false;
  FewestRows = std::min<int>(FewestRows, size.ws_row);
  FewestColumns = std::min<int>(FewestColumns, size.ws_col);
  return size.ws_col >= FrameLayout::Columns && size.ws_row >= FrameLayout::Rows;
}

// A count of rows or columns in words: "1 row", "5 columns".
std::string Counted(int count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

void InitialiseConsole() {
  InputTerminal = isatty(STDIN_FILENO) == 1;
  OutputTerminal = isatty(STDOUT_FILENO) == 1;
  posix::TakeTerminal(InputTerminal, OutputTerminal);
  if (InputTerminal) {
    // As on a PC console, a key typed while a screen is drawn is kept without being echoed
    // over it; only the Enter wait reads a line with echo.
    posix::UseKeyInput();
    tcflush(STDIN_FILENO, TCIFLUSH);  // keys typed before the start are not for us
  }
  if (OutputTerminal) {
    setlocale(LC_CTYPE, "");
    Writer.emplace(nl_langinfo(CODESET));
  }
  // A terminal cannot report its colours; a PC screen starts light grey on black.
  Attr = screen::StartAttr;
}

void RestoreConsole() {
  if (Writer) SendAll(Writer->Pending());
  posix::FinishKeyboardQuery();
  posix::RestoreTerminal();
}

uint16_t CurrentAttr() { return Attr; }

void ClearScreen() {
  if (!Writer) return;
  Shown = {true, Attr, {}, 0};
  Writer->Clear(Attr, FitsBootScreen());
  // Leaving lets the whole screen scroll again; the cursor stays below the drawn text.
  if (Writer->Framed()) posix::SetExitSequence(posix::ExitSlot::Layout, FrameLayout::ReleaseRegion);
  NoteColoursSent();
}

void SetTextForeground(uint16_t colour) { Attr = screen::WithForeground(Attr, colour); }

void SetTextBackground(uint16_t colour) { Attr = screen::WithBackground(Attr, colour); }

bool OutputIsConsole() { return OutputTerminal; }

int WriteConsoleText(std::string_view bytes) {
  if (!Writer) return 0;
  if (Shown.Kept) {
    Shown.Bytes += bytes.size();
    if (Shown.Bytes > KeptScreenBytes) Shown = {};
    else if (!Shown.Runs.empty() && Shown.Runs.back().first == Attr)
      Shown.Runs.back().second.append(bytes);
    else Shown.Runs.emplace_back(Attr, std::string(bytes));
  }
  Writer->Text(bytes, Attr);
  NoteColoursSent();
  return Writer->Pending().size() >= GatherLimit ? FlushConsole() : 0;
}

void ShowCells(const screen::ScreenGrid& grid, bool cursorShown) {
  if (!Writer) return;
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size.ws_row = FrameLayout::Rows, size.ws_col = FrameLayout::Columns;
  FitsBootScreen();  // a terminal too small for the whole screen is noted for the end
  Shown = {};        // the screen is the cells now; after a stop they are all sent again
  Writer->Cells(grid, cursorShown, size.ws_row, size.ws_col);
  posix::SetExitSequence(posix::ExitSlot::Layout, "");
  if (Writer->CursorHidden()) posix::SetExitSequence(posix::ExitSlot::Cursor, "\x1b[?25h");
  NoteColoursSent();
}

int FlushConsole() { return Writer ? SendAll(Writer->Pending()) : 0; }

bool InputIsConsole() { return InputTerminal; }

void RepaintIfResumed() {
  if (!posix::TakeResumed() || !Writer) return;
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size.ws_row = FrameLayout::Rows, size.ws_col = FrameLayout::Columns;
  if (!Writer->Redraw(size.ws_row, size.ws_col)) {
    if (!Shown.Kept) return;
    Writer->Clear(Shown.ClearAttr, FitsBootScreen());
    for (const auto& [attr, text] : Shown.Runs) Writer->Text(text, attr);
  }
  // Drawn again as it was; the colours in force stay what the program set last.
  FlushConsole();
}

std::string SmallTerminalNote() {
  if (FewestRows >= FrameLayout::Rows && FewestColumns >= FrameLayout::Columns) return {};
  std::string lost;
  if (FewestRows < FrameLayout::Rows) lost = Counted(FrameLayout::Rows - FewestRows, "row");
  if (FewestColumns < FrameLayout::Columns)
    lost += (lost.empty() ? "" : " and ") + Counted(FrameLayout::Columns - FewestColumns, "column");
  return "vestalo: the terminal was " + std::to_string(FewestColumns) + "x" +
         std::to_string(FewestRows) + ", smaller than the boot screen's 80x25: " + lost +
         " of it could not show as on the boot screen; resize the terminal to 80x25 or more to see "
         "it whole";
}

void BeginLineInput() { posix::UseLineInput(); }

}  // namespace console
