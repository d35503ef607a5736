// The console layer: screen, colours and keyboard. Nothing above it knows which platform
// it runs on; ConsolePosix.cpp and ConsoleWin32.cpp implement these operations.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "screen/ColourScreen.h"
#include "screen/ScreenGrid.h"

namespace console {

// Takes the standard streams, sets the line-input mode, discards typed-ahead keys and
// reads the attribute the program starts with. Runs once, before the program body.
void InitialiseConsole();

// Puts back every mode the program changed and resets the colours of a terminal.
// Safe to call more than once and from any way out.
void RestoreConsole();

// The attribute for text written from now on: foreground in bits 0-3, background in 4-7.
uint16_t CurrentAttr();

// Blanks the whole screen in CurrentAttr and puts the cursor at the top left.
void ClearScreen();

// Sets the foreground colour (0-15) and clears the attribute bits above 7.
void SetTextForeground(uint16_t colour);

// Sets the background colour (0-15, or a value already shifted into bits 4-7).
void SetTextBackground(uint16_t colour);

// True when standard output is the console rather than a file, pipe or device.
bool OutputIsConsole();

// Draws screen bytes on the console in CurrentAttr. The bytes may be gathered;
// returns 0 or the platform's error code of a failed write.
int WriteConsoleText(std::string_view bytes);

// Shows a whole screen of cells (a menu) where the boot screen's frame is, each cell as its
// code page 437 glyph in its colours; the cursor stands at the grid's cursor, shown or not.
void ShowCells(const screen::ScreenGrid& grid, bool cursorShown);

// Shows a graphical screen (vesamenu's) where the boot screen's frame is, as well as the
// console can: its cells in their 24-bit colours, or the nearest of the 256 or 16 the terminal
// shows, only those that changed; and on a terminal that draws pictures (kitty graphics,
// sixel) its picture over them once the terminal has said so, sent again when it changes.
// The cursor stands at the grid's cursor, shown or not. The picture is taken off again on
// every way out (and by the next text screen).
void ShowGraphicalScreen(const screen::GraphicalScreen& shown);

// The same, with the picture made only where and when the console sends one (drawing it costs
// more than the cells, and most terminals show cells): `picture` is called then, and again if
// the terminal says later that it draws pictures, until the next screen is shown. Cells whose
// colours are still coming are sent row by row as they get them: the rows above reach the
// terminal while those below are awaited.
void ShowGraphicalScreen(screen::ColourGridComing cells, std::function<screen::RgbImage()> picture);

// True when the terminal draws pictures, or has not said yet and its environment names one
// that most likely does: a graphical screen's picture is then worth making ready with it.
bool PicturesLikely();

// The picture protocols the console sends a graphical screen in, for --version: "kitty, sixel"
// or what this build or platform lacks.
std::string PictureProtocols();

// A descriptor that turns readable when the program runs again after a stop (Ctrl+Z), for a
// wait on input to watch (platform::InputWithin): a stop just before the wait does not
// interrupt it. -1 where there is none (the Windows console).
int ResumedWakeUp();

// Sends everything gathered for the console. Returns 0 or the platform's error code.
int FlushConsole();

// Draws the screen again when the program runs again after a stop (Ctrl+Z and fg): the
// shell has drawn over it meanwhile. Does nothing otherwise.
void RepaintIfResumed();

// The line to tell the user as the program ends about what a terminal smaller than the boot
// screen (80x25) could not show, and how to see it; empty when nothing was lost.
std::string SmallTerminalNote();

// Puts the keyboard into line input with echo for the one line read of the Enter wait.
// Until then keys typed are not echoed, so nothing is written over a screen being drawn.
void BeginLineInput();

// Waits for a key release and returns its key code; 0 announces an extended code that
// the next call returns. Raises EInputEnded when keyboard input has ended for good.
uint8_t NextKey();

// NextKey that calls `whileWaiting` about every `intervalMs` for as long as no key comes.
uint8_t NextKey(int intervalMs, const std::function<void()>& whileWaiting);

// NextKey that waits at most `timeoutMs` for a key to come; empty when none came. An
// extended code that a 0 announced comes at once.
std::optional<uint8_t> NextKeyWithin(int timeoutMs);

// True when keyboard input is waiting; never blocks.
bool InputPending();

}  // namespace console
