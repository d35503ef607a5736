// The console on Windows: the program's text attribute is the console's own, and screen
// bytes reach the screen buffer unchanged, in the console's code page.
#include "console/ConsoleWin32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/ErrorCodes.h"
#include "console/Console.h"
#include "console/TerminalColours.h"
#include "screen/Attribute.h"

namespace console {

namespace {

// Processed input, line input and echo: the one line read waits for an edited line.
constexpr DWORD LineInputMode = ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT;

// Enough to draw a large screen in one write, small enough to show progress on a huge file.
constexpr size_t GatherLimit = 64 * 1024;

HANDLE InputHandle = INVALID_HANDLE_VALUE;
HANDLE OutputHandle = INVALID_HANDLE_VALUE;
HANDLE ErrorHandle = INVALID_HANDLE_VALUE;
uint16_t Attr = 0;
bool OutputConsole = false;
DWORD StartInputMode = 0;
bool HaveStartInputMode = false;
// Text of one attribute, written as one call: a write per character is slow on a console.
std::string Pending;
// The cursor as the program found it, put back as it leaves; whether cells are shown now.
CONSOLE_CURSOR_INFO StartCursor{25, TRUE};
bool HaveStartCursor = false;
bool ShowingCells = false;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

void ApplyAttribute(uint16_t attr) {
  // Text gathered so far was meant for the attribute in force when it was written.
  FlushConsole();
  Attr = attr;
  SetConsoleTextAttribute(OutputHandle, Attr);
}

}  // namespace

HANDLE ConsoleInputHandle() { return InputHandle; }

void InitialiseConsole() {
  InputHandle = GetStdHandle(STD_INPUT_HANDLE);
  OutputHandle = GetStdHandle(STD_OUTPUT_HANDLE);
  ErrorHandle = GetStdHandle(STD_ERROR_HANDLE);
  HaveStartInputMode = GetConsoleMode(InputHandle, &StartInputMode) != 0;
  SetConsoleMode(InputHandle, LineInputMode);
  FlushConsoleInputBuffer(InputHandle);  // keys typed before the start are not for us
  OutputConsole = IsConsole(OutputHandle);
  HaveStartCursor = GetConsoleCursorInfo(OutputHandle, &StartCursor) != 0;
  CONSOLE_SCREEN_BUFFER_INFO info;
  Attr = GetConsoleScreenBufferInfo(OutputHandle, &info) ? info.wAttributes : 0;
}

void RestoreConsole() {
  FlushConsole();
  // The screen keeps its last colours, as the boot screen would; only the keyboard goes back.
  if (HaveStartInputMode) SetConsoleMode(InputHandle, StartInputMode);
  if (HaveStartCursor) SetConsoleCursorInfo(OutputHandle, &StartCursor);
}

uint16_t CurrentAttr() { return Attr; }

void ClearScreen() {
  FlushConsole();
  ShowingCells = false;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(OutputHandle, &info)) return;
  // The whole buffer, not only the visible window: nothing of the old text can scroll back.
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  const COORD origin{0, 0};
  DWORD done = 0;
  FillConsoleOutputAttribute(OutputHandle, Attr, cells, origin, &done);
  FillConsoleOutputCharacterA(OutputHandle, ' ', cells, origin, &done);
  SetConsoleCursorPosition(OutputHandle, origin);
}

void ShowCells(const screen::ScreenGrid& grid, bool cursorShown) {
  FlushConsole();
  // The first cells of a run of them start on a cleared buffer: nothing of an earlier,
  // wider screen stays beside them.
  if (!ShowingCells) ClearScreen();
  ShowingCells = true;
  CHAR_INFO cells[screen::Rows * screen::Columns];
  for (int row = 0; row < screen::Rows; ++row)
    for (int column = 0; column < screen::Columns; ++column) {
      CHAR_INFO& cell = cells[row * screen::Columns + column];
      cell.Char.AsciiChar = static_cast<CHAR>(grid.At(row, column).Char);
      cell.Attributes = grid.At(row, column).Attr;
    }
  SMALL_RECT area{0, 0, screen::Columns - 1, screen::Rows - 1};
  WriteConsoleOutputA(OutputHandle, cells, COORD{screen::Columns, screen::Rows}, COORD{0, 0},
                      &area);
  SetConsoleCursorPosition(OutputHandle, COORD{static_cast<SHORT>(grid.CursorColumn()),
                                               static_cast<SHORT>(grid.CursorRow())});
  CONSOLE_CURSOR_INFO cursor = StartCursor;
  cursor.bVisible = cursorShown;
  SetConsoleCursorInfo(OutputHandle, &cursor);
}

int ResumedWakeUp() { return -1; }

std::string PictureProtocols() { return "none (the Windows console shows the cells)"; }

bool PicturesLikely() { return false; }

void ShowGraphicalScreen(const screen::GraphicalScreen& shown) {
  FlushConsole();
  if (!ShowingCells) ClearScreen();
  ShowingCells = true;
  // The console shows 16 colours: each cell in the nearest of them, as its attribute.
  const screen::ColourGrid& grid = shown.Cells;
  if (grid.Rows <= 0 || grid.Columns <= 0) return;
  std::vector<CHAR_INFO> cells(static_cast<size_t>(grid.Rows * grid.Columns));
  for (int row = 0; row < grid.Rows; ++row)
    for (int column = 0; column < grid.Columns; ++column) {
      const screen::ColourCell& from = grid.At(row, column);
      CHAR_INFO& cell = cells[static_cast<size_t>(row * grid.Columns + column)];
      cell.Char.AsciiChar = static_cast<CHAR>(from.Char);
      cell.Attributes =
          static_cast<WORD>(NearestOf16(from.Foreground) | NearestOf16(from.Background) << 4);
    }
  SMALL_RECT area{0, 0, static_cast<SHORT>(grid.Columns - 1), static_cast<SHORT>(grid.Rows - 1)};
  WriteConsoleOutputA(OutputHandle, cells.data(),
                      COORD{static_cast<SHORT>(grid.Columns), static_cast<SHORT>(grid.Rows)},
                      COORD{0, 0}, &area);
  SetConsoleCursorPosition(OutputHandle, COORD{static_cast<SHORT>(grid.CursorColumn),
                                               static_cast<SHORT>(grid.CursorRow)});
  CONSOLE_CURSOR_INFO cursor = StartCursor;
  cursor.bVisible = grid.CursorShows;
  SetConsoleCursorInfo(OutputHandle, &cursor);
}

// The Windows console draws no pictures: the cells are the whole screen.
void ShowGraphicalScreen(screen::ColourGridComing cells, std::function<screen::RgbImage()>) {
  screen::GraphicalScreen shown;
  shown.Cells = std::move(cells.Cells);
  screen::FillAllRows(shown.Cells, cells.FillRow);
  ShowGraphicalScreen(shown);
}

void SetTextForeground(uint16_t colour) { ApplyAttribute(screen::WithForeground(Attr, colour)); }

void SetTextBackground(uint16_t colour) { ApplyAttribute(screen::WithBackground(Attr, colour)); }

bool OutputIsConsole() { return OutputConsole; }

// The console keeps what it shows while the program is away, and lays out every screen in
// its own buffer, whatever its window's size.
void RepaintIfResumed() {}

std::string SmallTerminalNote() { return {}; }

int WriteConsoleText(std::string_view bytes) {
  Pending.append(bytes);
  return Pending.size() >= GatherLimit ? FlushConsole() : 0;
}

int FlushConsole() {
  const char* data = Pending.data();
  size_t left = Pending.size();
  int error = 0;
  while (left > 0) {
    DWORD written = 0;
    if (!WriteConsoleA(OutputHandle, data, static_cast<DWORD>(left), &written, nullptr)) {
      error = vestalo::CodeForWindowsError(GetLastError());
      break;
    }
    if (written == 0) {
      error = vestalo::CodeForWindowsError(ERROR_WRITE_FAULT);
      break;
    }
    data += written;
    left -= written;
  }
  Pending.clear();
  return error;
}

}  // namespace console
