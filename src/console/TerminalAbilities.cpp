#include "console/TerminalAbilities.h"

#include <algorithm>

#include "console/KittyPicture.h"

namespace console {

namespace {

// Terminals that show a string they do not know as text, or take it for a title: a
// multiplexer (tmux, GNU screen) and the Linux console. They draw no pictures themselves.
constexpr std::string_view NoStringTerms[] = {"screen", "tmux", "linux"};

bool TakesStrings(std::string_view term) {
  return std::none_of(std::begin(NoStringTerms), std::end(NoStringTerms),
                      [&](std::string_view prefix) { return term.starts_with(prefix); });
}

bool ListsSixel(const std::vector<int>& attributes) {
  // A 4 means sixel only after a VT220-or-later class; a VT100-style answer uses 4 otherwise.
  if (attributes.empty() || attributes[0] < 62 || attributes[0] > 65) return false;
  return std::find(attributes.begin() + 1, attributes.end(), 4) != attributes.end();
}

// Terminals that draw pictures, as their TERM or TERM_PROGRAM names them.
constexpr std::string_view PictureTermNames[] = {"kitty", "ghostty", "wezterm",
                                                 "foot",  "mlterm",  "contour"};
constexpr std::string_view PictureTermPrograms[] = {"WezTerm", "ghostty", "contour"};

}  // namespace

bool PicturesLikely(std::string_view term, std::string_view termProgram, bool kittyWindow) {
  return kittyWindow ||
         std::any_of(std::begin(PictureTermNames), std::end(PictureTermNames),
                     [&](std::string_view name) { return term.find(name) != term.npos; }) ||
         std::find(std::begin(PictureTermPrograms), std::end(PictureTermPrograms), termProgram) !=
             std::end(PictureTermPrograms);
}

std::string PictureQuestions(std::string_view term, bool askColours, std::string_view memoryName) {
  std::string questions;
  const bool strings = TakesStrings(term);
  if (strings) questions += "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\";
  if (strings && !memoryName.empty())
    questions += "\x1b_Gi=32,s=1,v=1,a=q,t=s,f=24;" + Base64(memoryName) + "\x1b\\";
  questions += "\x1b[16t";
  if (strings && askColours) questions += "\x1b[0;38;2;1;2;3;48;2;1;2;3m\x1bP$qm\x1b\\\x1b[0m";
  return questions + "\x1b[c";
}

TerminalAbilities DecideAbilities(std::string_view term, std::string_view colorterm,
                                  const TerminalAnswers& answers, int windowWidth, int windowHeight,
                                  int rows, int columns) {
  TerminalAbilities abilities;
  abilities.Depth = DepthFromEnvironment(term, colorterm);
  if (answers.DirectColour || answers.KittyGraphics) abilities.Depth = ColourDepth::Direct;
  if (answers.KittyGraphics) abilities.Pictures = PictureProtocol::Kitty;
  else if (ListsSixel(answers.DeviceAttributes)) abilities.Pictures = PictureProtocol::Sixel;
  abilities.SharedMemory = answers.KittyGraphics && answers.KittyMemory;
  if (windowWidth <= 0 || windowHeight <= 0)
    windowWidth = answers.WindowWidth, windowHeight = answers.WindowHeight;
  if (answers.CellWidth > 0 && answers.CellHeight > 0) {
    abilities.CellWidth = answers.CellWidth, abilities.CellHeight = answers.CellHeight;
  } else if (windowWidth > 0 && windowHeight > 0 && rows > 0 && columns > 0 &&
             windowWidth >= columns && windowHeight >= rows) {
    abilities.CellWidth = windowWidth / columns, abilities.CellHeight = windowHeight / rows;
  }
  return abilities;
}

}  // namespace console
