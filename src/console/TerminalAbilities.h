// What a terminal can show of a graphical screen, decided from what it tells: its TERM and
// COLORTERM, and its answers to the questions asked at the first key wait after such a screen.
#pragma once

#include <string>
#include <string_view>

#include "console/KeyDecoder.h"
#include "console/TerminalColours.h"

namespace console {

// How a terminal draws pictures, if it does.
enum class PictureProtocol { None, Kitty, Sixel };

// What a graphical screen is shown with.
struct TerminalAbilities {
  ColourDepth Depth = ColourDepth::Sixteen;
  PictureProtocol Pictures = PictureProtocol::None;
  int CellWidth = 8, CellHeight = 16;  // a cell in pixels, where the terminal did not say
  // Kitty pictures go as raw pixels through shared memory: the terminal read the query's.
  bool SharedMemory = false;
};

// The id of the kitty graphics query, and of the picture the program shows.
constexpr int KittyQueryId = 31;
constexpr int KittyPictureId = 4242;
// A kitty picture's strips are at least this many pixels high: at most 75 of them for the
// largest screen (1200 pixel rows).
constexpr int KittyStripHeight = 16;

// The questions for a terminal of this TERM, ended by the device attributes question that
// every terminal answers: the kitty graphics query (not where a multiplexer or the Linux
// console would show it as text) and, with a `memoryName`, whether the terminal reads a pixel
// from that shared memory object (a terminal on this computer), the cell size, and, unless
// `askColours` is false, whether 24-bit colours are kept (a colour set, asked back with DECRQSS,
// and the colours reset).
std::string PictureQuestions(std::string_view term, bool askColours,
                             std::string_view memoryName = {});

// Whether a terminal of this TERM and TERM_PROGRAM (`kittyWindow`: KITTY_WINDOW_ID is set)
// most likely draws pictures, before it has answered: kitty, ghostty, WezTerm, foot, mlterm,
// contour. Only what is made ready early depends on it, never what is shown.
bool PicturesLikely(std::string_view term, std::string_view termProgram, bool kittyWindow);

// The abilities: 24-bit colours by COLORTERM, TERM or the DECRQSS answer (a terminal with kitty
// graphics has them too), else 256 or 16 by TERM; kitty graphics where the query was answered
// OK (through shared memory where its query was answered OK too), sixel where the device attributes
// (of a VT220 or later, 62-65) list 4; the cell size as the terminal said it, else its text area in
// pixels (`windowWidth` x `windowHeight`, from the system, or as it said) over its cells, else
// 8x16, the PC's text cell.
TerminalAbilities DecideAbilities(std::string_view term, std::string_view colorterm,
                                  const TerminalAnswers& answers, int windowWidth, int windowHeight,
                                  int rows, int columns);

}  // namespace console
