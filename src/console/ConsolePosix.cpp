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
#include <climits>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/PlatformPosix.h"
#include "console/Console.h"
#include "console/KittyKeyboardPosix.h"
#include "console/KittyPicture.h"
#include "console/SharedPicturePosix.h"
#include "console/TerminalAbilities.h"
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
  std::string Text;                               // every byte shown since the clear
  std::vector<std::pair<uint16_t, size_t>> Runs;  // each run's colours and where it starts
};
ShownScreen Shown;

// The smallest terminal a screen was drawn in, and the largest frame drawn (80x25 for text,
// a graphical screen's cells for it), for the note of what could not show.
int FewestRows = INT_MAX, FewestColumns = INT_MAX;
int FrameRows = 0, FrameColumns = 0;

// What the terminal shows of a graphical screen: what its environment says until it answers.
TerminalAbilities Abilities;
std::string Term, ColourTerm, TermProgram;
bool KittyWindow = false;
bool PicturesKnown = false;  // the terminal answered the questions about pictures
enum class QuestionState { NotNeeded, ToAsk, Asked };
QuestionState Questions = QuestionState::NotNeeded;
bool ShowingGraphical = false;
screen::ColourGrid LastCells;
std::function<screen::RgbImage()> LastPicture;  // the picture of LastCells, made when sent

// The graphical screen as the terminal shows it: its picture only where one is sent.
screen::GraphicalScreen AsShown() {
  screen::GraphicalScreen shown;
  shown.Cells = LastCells;
  if (Abilities.Pictures != PictureProtocol::None && LastPicture) shown.Picture = LastPicture();
  return shown;
}

// The terminal's size in cells, and its text area in pixels where the system knows it.
struct winsize TerminalSize() {
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
    size.ws_row = FrameLayout::Rows, size.ws_col = FrameLayout::Columns;
  return size;
}

void NotePictureExit() {
  const std::string exit = Writer->PictureExit();
  posix::SetExitSequence(posix::ExitSlot::Picture, exit.c_str());
}

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

// True when the terminal can hold a frame of `rows` x `columns` (the boot screen's 80x25 by
// default); a smaller one shows what fits, and what it lacks is noted for the end.
bool FitsFrame(int rows = FrameLayout::Rows, int columns = FrameLayout::Columns) {
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return false;
  FewestRows = std::min<int>(FewestRows, size.ws_row);
  FewestColumns = std::min<int>(FewestColumns, size.ws_col);
  FrameRows = std::max(FrameRows, rows), FrameColumns = std::max(FrameColumns, columns);
  return size.ws_col >= columns && size.ws_row >= rows;
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
    Writer->SetEarlyFlush([] {
      // What is sent must be undone on any way out, as at the end of a screen.
      if (Writer->CursorHidden()) posix::SetExitSequence(posix::ExitSlot::Cursor, "\x1b[?25h");
      NotePictureExit();
      NoteColoursSent();
      SendAll(Writer->Pending());
    });
    Writer->SetPictureSharing(posix::ShareWithTerminal);
    const char* term = getenv("TERM");
    const char* colourTerm = getenv("COLORTERM");
    Term = term != nullptr ? term : "", ColourTerm = colourTerm != nullptr ? colourTerm : "";
    const char* program = getenv("TERM_PROGRAM");
    TermProgram = program != nullptr ? program : "";
    KittyWindow = getenv("KITTY_WINDOW_ID") != nullptr;
    Abilities = DecideAbilities(Term, ColourTerm, {}, 0, 0, 0, 0);
  }
  // A terminal cannot report its colours; a PC screen starts light grey on black.
  Attr = screen::StartAttr;
}

void RestoreConsole() {
  if (Writer) SendAll(Writer->Pending());
  posix::FinishKeyboardQuery();
  posix::RestoreTerminal();
  posix::RemoveShared();
}

uint16_t CurrentAttr() { return Attr; }

void ClearScreen() {
  if (!Writer) return;
  Shown.Kept = true;
  Shown.ClearAttr = Attr;
  Shown.Text.clear();
  Shown.Runs.clear();
  Writer->Clear(Attr, FitsFrame());
  ShowingGraphical = false;
  NotePictureExit();
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
    if (Shown.Text.size() + bytes.size() > KeptScreenBytes) {
      Shown = {};
    } else {
      if (Shown.Runs.empty() || Shown.Runs.back().first != Attr)
        Shown.Runs.emplace_back(Attr, Shown.Text.size());
      Shown.Text.append(bytes);
    }
  }
  Writer->Text(bytes, Attr);
  if (ShowingGraphical) ShowingGraphical = false, NotePictureExit();
  NoteColoursSent();
  return Writer->Pending().size() >= GatherLimit ? FlushConsole() : 0;
}

void ShowCells(const screen::ScreenGrid& grid, bool cursorShown) {
  if (!Writer) return;
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
    size.ws_row = FrameLayout::Rows, size.ws_col = FrameLayout::Columns;
  FitsFrame();  // a terminal too small for the whole screen is noted for the end
  Shown = {};   // the screen is the cells now; after a stop they are all sent again
  Writer->Cells(grid, cursorShown, size.ws_row, size.ws_col);
  ShowingGraphical = false;
  NotePictureExit();
  posix::SetExitSequence(posix::ExitSlot::Layout, "");
  if (Writer->CursorHidden()) posix::SetExitSequence(posix::ExitSlot::Cursor, "\x1b[?25h");
  NoteColoursSent();
}

int ResumedWakeUp() { return posix::ResumedSignal(); }

bool PicturesLikely() {
  if (!Writer) return false;
  if (PicturesKnown || Abilities.Pictures != PictureProtocol::None)
    return Abilities.Pictures != PictureProtocol::None;
  return console::PicturesLikely(Term, TermProgram, KittyWindow);
}

std::string PictureProtocols() {
  // Sixel is written by the program itself: every build sends it.
  return KittyPicturesBuilt ? "kitty, sixel" : "sixel (no kitty: built without libdeflate)";
}

void ShowGraphicalScreen(const screen::GraphicalScreen& shown) {
  ShowGraphicalScreen({shown.Cells, {}}, [picture = shown.Picture] { return picture; });
}

void ShowGraphicalScreen(screen::ColourGridComing cells,
                         std::function<screen::RgbImage()> picture) {
  if (!Writer) return;
  const struct winsize size = TerminalSize();
  FitsFrame(cells.Cells.Rows, cells.Cells.Columns);  // what does not fit is noted for the end
  Shown = {};  // the screen is the cells now; after a stop they are all sent again
  LastCells = std::move(cells.Cells);
  LastPicture = std::move(picture);
  Writer->Graphical(AsShown(), Abilities, size.ws_row, size.ws_col, cells.FillRow);
  LastCells = Writer->GraphicalCells();  // whole now
  ShowingGraphical = true;
  if (Questions == QuestionState::NotNeeded && InputIsConsole()) Questions = QuestionState::ToAsk;
  posix::SetExitSequence(posix::ExitSlot::Layout, "");
  if (Writer->CursorHidden()) posix::SetExitSequence(posix::ExitSlot::Cursor, "\x1b[?25h");
  NotePictureExit();
  NoteColoursSent();
}

std::string PictureQuestionsToAsk() {
  if (Questions != QuestionState::ToAsk || !Writer) return {};
  Questions = QuestionState::Asked;
  const bool askColours = Abilities.Depth != ColourDepth::Direct;
  if (askColours) {
    // The question sets a colour and resets the colours after it: ours go out again.
    Writer->ForgetColours();
    posix::SetExitSequence(posix::ExitSlot::Colours, "\x1b[0m");
  }
  // A pixel in shared memory: a terminal on this computer that reads it is sent the pictures
  // that way.
  return PictureQuestions(Term, askColours, posix::ShareQuestionPixel());
}

void PicturesAnswered(const TerminalAnswers& answers) {
  if (!Writer) return;
  PicturesKnown = true;
  const struct winsize size = TerminalSize();
  Abilities = DecideAbilities(Term, ColourTerm, answers, size.ws_xpixel, size.ws_ypixel,
                              size.ws_row, size.ws_col);
  posix::RemoveShared();  // the question's pixel, where the terminal did not take it
  if (!ShowingGraphical) return;
  Writer->Graphical(AsShown(), Abilities, size.ws_row, size.ws_col);
  NotePictureExit();
  FlushConsole();
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
    Writer->Clear(Shown.ClearAttr, FitsFrame());
    const std::string_view text = Shown.Text;
    for (size_t run = 0; run < Shown.Runs.size(); ++run) {
      const size_t start = Shown.Runs[run].second;
      const size_t end = run + 1 < Shown.Runs.size() ? Shown.Runs[run + 1].second : text.size();
      Writer->Text(text.substr(start, end - start), Shown.Runs[run].first);
    }
  }
  NotePictureExit();
  // Drawn again as it was; the colours in force stay what the program set last.
  FlushConsole();
}

std::string SmallTerminalNote() {
  if (FewestRows >= FrameRows && FewestColumns >= FrameColumns) return {};
  std::string lost;
  if (FewestRows < FrameRows) lost = Counted(FrameRows - FewestRows, "row");
  if (FewestColumns < FrameColumns)
    lost += (lost.empty() ? "" : " and ") + Counted(FrameColumns - FewestColumns, "column");
  const std::string frame = std::to_string(FrameColumns) + "x" + std::to_string(FrameRows);
  return "vestalo: the terminal was " + std::to_string(FewestColumns) + "x" +
         std::to_string(FewestRows) + ", smaller than the boot screen's " + frame + ": " + lost +
         " of it could not show as on the boot screen; resize the terminal to " + frame +
         " or more to see it whole";
}

void BeginLineInput() { posix::UseLineInput(); }

}  // namespace console
