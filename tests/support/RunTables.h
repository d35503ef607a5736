// The two end-to-end tables: redirected runs (files, arguments, streams -> exit, output,
// report) and terminal scripts (keys, signals, sizes -> screen, modes, exit). Any
// *Pty_test.cpp file adds rows to either:
//   const RunRow MyRuns[] = {{.Name = "Help", .Arguments = {"-help"}, .Output = HelpText}};
//   INSTANTIATE_TEST_SUITE_P(Help, RedirectedRun, ::testing::ValuesIn(MyRuns), RowName());
//   const ScriptRow MyScripts[] = {{.Name = "F1", .Files = {File("isolinux.cfg", "display s.txt\nF1
//   a.txt"),
//       File("s.txt", "S"), File("a.txt", "A")}, .Steps = {Row(0, "S"), Idle(), Press("1", "A"),
//       Send("x")}}};
//   INSTANTIATE_TEST_SUITE_P(Menu, TerminalScript, ::testing::ValuesIn(MyScripts), RowName());
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vestalo::testing {

#define ESC "\x1b"
#define CSI "\x1b["
#define SS3 "\x1bO"

// One entry of a test medium; the folders on the way to it are made.
struct MediumFile {
  enum Kind {
    Text,
    Folder,
    Link,
    Fifo,
    Sparse,
    Unreadable,
    Locked,
    Copy,
    Image,
    Patch
  } Type = Text;
  std::string Name{};
  std::string
      Bytes{};  // Text, Unreadable, Patch: the content; Link: the target; Copy, Image: the source
  uint64_t Size = 0;  // Sparse: the size of the hole; Text: Bytes repeated to this size
  int64_t At =
      0;  // Patch: where the bytes go; Bytes empty: the size it is cut to (below 0: from the end)
  std::string Options{};  // Image: xorriso's options
};
using Medium = std::vector<MediumFile>;

inline MediumFile File(std::string name, std::string bytes) {
  return {MediumFile::Text, name, bytes};
}
inline MediumFile Folder(std::string name) { return {MediumFile::Folder, name}; }
inline MediumFile Link(std::string name, std::string target) {
  return {MediumFile::Link, name, target};
}
inline MediumFile Fifo(std::string name) { return {MediumFile::Fifo, name}; }
inline MediumFile Sparse(std::string name, uint64_t size) {
  return {MediumFile::Sparse, name, "", size};
}
inline MediumFile Repeated(std::string name, std::string bytes, uint64_t size) {
  return {MediumFile::Text, name, bytes, size};
}
// A file nobody but its owner may read; the program then runs as an unprivileged user.
inline MediumFile Unreadable(std::string name, std::string bytes) {
  return {MediumFile::Unreadable, name, bytes};
}
// A folder nobody but its owner may enter; the program then runs as an unprivileged user.
inline MediumFile LockedFolder(std::string name) { return {MediumFile::Locked, name}; }
// A folder of this source tree, copied.
inline MediumFile Copy(std::string name, std::string source) {
  return {MediumFile::Copy, name, VESTALO_SOURCE_DIR "/" + source};
}
// An ISO image that xorriso makes of a folder of the medium, made before it.
inline MediumFile Image(std::string name, std::string folder, std::string options) {
  return {.Type = MediumFile::Image, .Name = name, .Bytes = folder, .Options = options};
}
// Bytes written over a file made before, at `at`; with no bytes: the file cut to `at` bytes.
inline MediumFile Patch(std::string name, int64_t at, std::string bytes = "") {
  return {.Type = MediumFile::Patch, .Name = name, .Bytes = bytes, .At = at};
}
// Both media in one.
inline Medium operator+(Medium a, const Medium& b) {
  return a.insert(a.end(), b.begin(), b.end()), a;
}

// At the start of an argument: the folder the row's medium is made in (an absolute path).
inline const std::string MediumPath = "<medium>";

// Standard input of a redirected run.
enum class Stdin {
  Bytes,   // the row's Input bytes, then the end
  Null,    // /dev/null
  Closed,  // no descriptor 0
  Pipe,    // a pipe holding Input, open until CloseInputAfterMs (0: until the program ends)
};
// Standard output of a redirected run.
enum class Stdout { Capture, Full, ClosedPipe, Closed };

// A run with redirected standard streams.
struct RunRow {
  const char* Name = "";
  Medium Files{};
  std::vector<std::string> Arguments{};
  std::string Input{};
  Stdin In = Stdin::Bytes;
  int CloseInputAfterMs = 0;  // Stdin::Pipe: closed after this long, while the program still runs
  Stdout Out = Stdout::Capture;
  bool ErrClosed = false;
  std::string Directory{};  // working folder: within the medium, or an absolute path
  int MemoryLimitMb = 0;    // the program's address space, when limited (not under the sanitizers)
  int Exit = 0;
  int Signal = 0;  // the signal that must end the run (Exit is then not checked)
  std::optional<std::string> Output{};         // standard output, exactly
  std::string OutputHas{};                     // a part standard output must hold
  std::vector<std::string> Made{}, NotMade{};  // files of the medium there or not after the run
  // Snapshots made by the run, each against the boot loader's screen (see Golden below).
  struct Snapshot {
    std::string Stem, Golden;
    std::vector<int> Masks{};
  };
  std::vector<Snapshot> Snapshots{};
  // Pictures made by the run against the graphical menu's screendumps (PictureGoldens.h).
  struct Picture {
    std::string Png, Golden;   // the run's, in the medium; the loader's, in the source tree
    int Levels = 0;            // how far a channel may differ (a JPEG background's decoding)
    std::vector<int> Masks{};  // rectangles left out: x, y, width, height, ...
  };
  std::vector<Picture> Pictures{};
  // Lines of files made by the run: line Number (from 1) reads Text exactly, and the file
  // has Lines lines (0: not counted).
  struct FileLine {
    std::string File;
    int Number = 0;
    std::string Text{};
    int Lines = 0;
  };
  std::vector<FileLine> FileLines{};
  // Bytes that files made by the run hold: the file, and the bytes.
  std::vector<std::pair<std::string, std::string>> FileHas{};
  // The failure report's message (a final "*" stands for any rest); empty: standard error stays
  // empty, unless Errors says what it holds.
  std::string Report{};
  std::optional<std::string> Errors{};
};

// One step of a terminal script; made by the functions below.
struct Step {
  enum Kind {
    Send,
    Press,
    Idle,
    Row,
    Shows,
    Cell,
    Drawn,
    Sent,
    Before,
    Signal,
    Resize,
    HangUp,
    Alive,
    Modes,
    Golden,
    Save,
    Remove,
    Rgb,
    SharedGone
  } Type;
  std::string Text{};  // bytes sent or awaited, a row's text, a file's or a golden screen's name
  std::string Expected{};  // Press: row 0 awaited; Before: the later bytes; Save: the file's bytes
  int ScreenRow = 0, ScreenColumn = 0;  // Row, Cell
  int Foreground = 0, Background = 0;   // Cell; Rgb: 0xRRGGBB
  int Times = 0;                        // Drawn, Sent
  int SignalNumber = 0;                 // Signal
  int Rows = 0, Columns = 0;            // Resize
  int Ms = 0;                           // Alive
  bool KeyInput = false;                // Modes
  std::vector<int> Masks{};             // Golden
};
// Types bytes at the terminal.
inline Step Send(std::string bytes) { return {Step::Send, bytes}; }
// Types a key, waits until row 0 reads `row0`, then until the program waits for a key.
inline Step Press(std::string key, std::string row0) { return {Step::Press, key, row0}; }
// Until the program waits for input, having handled what was typed (Linux: it sleeps in a read).
// At its start it also waits for the terminal's answers: wait for a screen before the first Idle.
inline Step Idle() { return {Step::Idle}; }
// Until the row reads `text` (UTF-8, trailing blanks left out).
inline Step Row(int row, std::string text) {
  return {.Type = Step::Row, .Text = text, .ScreenRow = row};
}
// Until the screen holds `text` somewhere.
inline Step Shows(std::string text) { return {Step::Shows, text}; }
// The cell's colours now, as ECMA-48 indexes (1 red, 4 blue; -1 the terminal's own; Any).
constexpr int Any = -2;
inline Step Cell(int row, int column, int foreground, int background) {
  return {.Type = Step::Cell,
          .ScreenRow = row,
          .ScreenColumn = column,
          .Foreground = foreground,
          .Background = background};
}
// The cell's colours now as the terminal shows them, 0xRRGGBB (-1 the terminal's own).
inline Step Rgb(int row, int column, int foreground, int background) {
  return {.Type = Step::Rgb,
          .ScreenRow = row,
          .ScreenColumn = column,
          .Foreground = foreground,
          .Background = background};
}
// The program's output holds `text` exactly `times` times now (a screen drawn again).
inline Step Drawn(std::string text, int times) {
  return {.Type = Step::Drawn, .Text = text, .Times = times};
}
// Until the program's output holds these bytes at least `times` times.
inline Step Sent(std::string bytes, int times = 1) {
  return {.Type = Step::Sent, .Text = bytes, .Times = times};
}
// Until the program's output holds both, `first` before `second`.
inline Step Before(std::string first, std::string second) { return {Step::Before, first, second}; }
// A file of the medium saved as editors save it: written beside it, then renamed over it.
inline Step Save(std::string name, std::string bytes) { return {Step::Save, name, bytes}; }
// A file of the medium deleted.
inline Step Remove(std::string name) { return {Step::Remove, name}; }
// Until no shared memory named so far is left: the terminal removed what it read, the
// program the rest.
inline Step SharedGone() { return {Step::SharedGone}; }
inline Step Signal(int signal) { return {.Type = Step::Signal, .SignalNumber = signal}; }
inline Step Resize(int rows, int columns) {
  return {.Type = Step::Resize, .Rows = rows, .Columns = columns};
}
// The terminal goes away: its master side is closed. Nothing of it can be checked after.
inline Step HangUp() { return {Step::HangUp}; }
// The program does not end within this time.
inline Step Alive(int ms) { return {.Type = Step::Alive, .Ms = ms}; }
// Until the terminal reads keys one by one without echo (true) or whole lines (false).
inline Step Modes(bool keyInput) { return {.Type = Step::Modes, .KeyInput = keyInput}; }
// Until the screen is, cell for cell, the one the real boot loader drew (tests/fidelity/golden/
// NAME.bin), but for the loader's prompt row and the masked cells (row, column, count, ...).
inline Step Golden(std::string name, std::vector<int> masks = {}) {
  return {.Type = Step::Golden, .Text = name, .Masks = masks};
}
// A key pressed and released under the kitty keyboard protocol.
inline std::string Tap(char key) {
  const std::string code = std::to_string(static_cast<int>(key));
  return CSI + code + "u" CSI + code + ";1:3u";
}

// The program in a pseudo-terminal, driven step by step. As it ends, the terminal must have
// its modes back (canonical, echo, signals), every colour, keyboard and scrolling change
// undone with the colour reset last, and no control sequence but the program's own.
struct ScriptRow {
  const char* Name = "";
  Medium Files{};
  std::vector<std::string> Arguments{};
  std::vector<Step> Steps{};
  int Exit = 0;
  int Signal = 0;  // the signal that must end the program (Exit is then not checked)
  int Rows = 25, Columns = 80;
  const char* Locale = "C.UTF-8";
  bool Kitty = false;   // the terminal answers the kitty keyboard query
  bool Silent = false;  // the terminal answers no query at all
  bool Controlling =
      true;  // false: not the program's controlling terminal (a hang-up sends no SIGHUP)
  bool WholeOutput =
      true;  // false: the output was cut off mid-screen; its sequences are not checked
  std::string Directory{};  // working folder: within the medium, or an absolute path
  std::string Input{};      // a file of the medium read as standard input instead of the terminal
  int MemoryLimitMb = 0;    // the program's address space, when limited (not under the sanitizers)
  bool KittyGraphics = false;  // the terminal answers the kitty graphics query
  bool KittyMemory = false;    // and reads pictures from shared memory, as on the same computer
  bool Sixel = false;          // the terminal lists sixel in its device attributes
  std::vector<std::string> Environment{};  // NAME=VALUE for the program (TERM, COLORTERM)
  std::string Program{};  // a test program of the build run instead of vestalo (a path)
};

// AddressSanitizer reserves more address space than any limit a row sets.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryCanBeLimited = false;
#else
constexpr bool MemoryCanBeLimited = true;
#endif

class RedirectedRun : public ::testing::TestWithParam<RunRow> {};
class TerminalScript : public ::testing::TestWithParam<ScriptRow> {};

// Names a row's test after the row (letters and digits; anything else becomes "_").
struct RowName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    std::string name = info.param.Name;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
};
inline void PrintTo(const RunRow& row, std::ostream* out) { *out << row.Name; }
inline void PrintTo(const ScriptRow& row, std::ostream* out) { *out << row.Name; }
// The usage text of -help, byte for byte.
inline const std::string HelpText =
    "\r\nVestalo 1.2.0 by the Vestalo team, dev@vestalo.invalid, https://vestalo.invalid\r\n\r\n"
    "Usage:\r\n"
    " - without arguments: Vestalo will try to find isolinux.cfg/syslinux.cfg\r\n"
    "      and to read configuration from there.\r\n"
    "      Use number keys instead of function keys for menu navigation.\r\n"
    "      Press \"x\" for exit\r\n"
    " - with arguments: Vestalo will search for a splash file given as argument\r\n"
    " - with a folder or an ISO image as argument: Vestalo will read the boot\r\n"
    "      medium there, finding its configuration where the boot loader does\r\n"
    " - with -c NAME (or --config NAME): Vestalo will start from the\r\n"
    "      configuration file NAME instead of isolinux.cfg/syslinux.cfg\r\n"
    " - with --watch: Vestalo will draw the screen again when its files change\r\n"
    " - with --check [-c NAME] [MEDIUM]: Vestalo will report, one finding a line,\r\n"
    "      what goes wrong on the boot screen\r\n"
    " - with --snapshot DIR [-c NAME] [MEDIUM or FILE]: Vestalo will write each\r\n"
    "      screen to DIR as text, ANSI colours, an HTML page and a PNG picture;\r\n"
    "      with --keys K1,K2,... a tour of the boot menu (down, ret, tab, f1, ...)\r\n"
    " - with --no-menu: Vestalo will show the splash screen and the help keys of a\r\n"
    "      configuration that starts a boot menu, instead of the menu\r\n"
    " - with --version: Vestalo will print its version; --help or -h: this text\r\n";

}  // namespace vestalo::testing
