// The boot menus as a person meets them in a terminal: how long the first screen takes from
// the start, and how long an arrow key takes until the screen shows the new selection. The
// graphical menu is measured against the same menu drawn by the text menu module, in the same
// kind of terminal, started in turns so that other work on the machine falls on both alike.
#include "MenuBench.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "MenuMedia.h"
#include "PtyRun.h"
#include "Statistics.h"
#include "TableRow.h"

namespace vestalo::bench {

namespace {

// The arrow keys as a terminal without the kitty keyboard protocol sends them.
constexpr const char* Down = "\x1b[B";
constexpr const char* Up = "\x1b[A";
// What the reference rows of the keys are held against: a redraw within 20 ms is within about
// one frame of a 60 Hz screen, where a person sees no delay.
constexpr double KeyGoalMs = 20.0;

// How a terminal shows a graphical screen, told by the bytes the program sent it.
bool HasTrueColourCells(const std::string& out) { return out.find(";48;2;") != out.npos; }
bool HasKittyPicture(const std::string& out) { return out.find("\x1b_Ga=T,") != out.npos; }
bool HasSharedPicture(const std::string& out) {
  return out.find("\x1b_Ga=T,f=24,t=s,") != out.npos;
}

// The graphical menu's grid at 640x480: 80x30 cells, each 8x16 pixels. Every menu is shown in
// a terminal of this size, where the text menu takes its 80x25 at the top.
constexpr int Rows = 30, Columns = 80;

// A terminal that tells by its environment that it shows 24-bit colours, and answers no
// question: the program never learns that it could do more, and keeps to the cells.
Launch CellsTerminal(const std::string& program, const std::string& folder) {
  return {.Program = program,
          .Directory = folder,
          .Environment = {"TERM=xterm-256color", "COLORTERM=truecolor"},
          .Rows = Rows,
          .Columns = Columns};
}

// A terminal like kitty: it answers the graphics query OK, the cell size and the device
// attributes, and then is sent the graphical screen as a picture. On the program's computer
// (`local`) it reads pictures from shared memory; across a network (ssh) it cannot, and they
// come in-band.
Launch KittyTerminal(const std::string& program, const std::string& folder, bool local) {
  return {.Program = program,
          .Directory = folder,
          .AnswerKittyGraphics = true,
          .AnswerKittyMemory = local,
          .Environment = {"TERM=xterm-kitty", "COLORTERM=truecolor"},
          .Rows = Rows,
          .Columns = Columns};
}

// One way of showing a menu: the medium, the terminal, and every byte of its first screen
// as the terminal gets them (the screen, the questions at the first key wait, and where the
// terminal answered them, what the program sends after the answers).
struct Kind {
  const char* Name;
  Launch How;
  std::string FirstScreen;
  std::vector<double> Took, CpuMs;
  size_t SharedBytes = 0;  // read from shared memory for the first screen
};

// The bytes of a first screen: read until the program waits for a key and nothing has come
// for a while (the answers to its questions included).
std::pair<std::string, size_t> CaptureOnce(const Launch& launch) {
  PtyRun run(launch);
  if (!run.WaitUntilBlocked(20000)) throw std::runtime_error("the menu does not wait for a key");
  run.ReadUntilQuiet(500);
  if (!run.WaitUntilBlocked(20000)) throw std::runtime_error("the menu does not wait for a key");
  run.ReadUntilQuiet(100);
  return {run.Output(), run.SharedBytes()};
}

// The first screen's bytes, the same in two runs: what the timed runs must receive.
void CaptureFirstScreen(Kind& kind) {
  auto previous = CaptureOnce(kind.How);
  for (int attempt = 0; attempt < 4; ++attempt) {
    auto captured = CaptureOnce(kind.How);
    if (captured == previous && !captured.first.empty()) {
      kind.FirstScreen = std::move(captured.first);
      kind.SharedBytes = captured.second;
      return;
    }
    previous = std::move(captured);
  }
  throw std::runtime_error(std::string(kind.Name) + ": the first screen differs from run to run");
}

// Time from the start until the first screen's last byte has arrived, and the processor time
// the program took for it (read once it waits for a key).
void TimeFirstScreen(Kind& kind) {
  const auto start = Clock::now();
  PtyRun run(kind.How);
  const size_t length = kind.FirstScreen.size();
  if (!run.ReadUntil([length](const std::string& out) { return out.size() >= length; }, 20000))
    throw std::runtime_error(std::string(kind.Name) +
                             ": the first screen was not drawn: " + Tail(run.Output()));
  kind.Took.push_back(Milliseconds(Clock::now() - start));
  if (run.Output() != kind.FirstScreen || run.SharedBytes() != kind.SharedBytes)
    throw std::runtime_error(std::string(kind.Name) +
                             ": other bytes than before: " + Tail(run.Output()));
  if (!run.WaitUntilBlocked()) throw std::runtime_error("the menu does not wait for a key");
  kind.CpuMs.push_back(run.CpuMsSoFar());
}

// The bytes one key brings: read until the program waits again and nothing more comes.
std::string CaptureKey(PtyRun& run, const char* key) {
  run.ClearOutput();
  run.Type(key);
  if (!run.ReadUntil([](const std::string& out) { return !out.empty(); }))
    throw std::runtime_error("a key changed nothing on the screen");
  run.ReadUntilQuiet(500);
  if (!run.WaitUntilBlocked()) throw std::runtime_error("the menu does not wait for a key");
  run.ReadUntilQuiet(100);
  return run.Output();
}

struct KeyTimes {
  std::vector<double> Took;
  size_t DownBytes = 0, UpBytes = 0;
};

// Down and Up in turns, each moving the selection bar: from the key typed until the screen's
// last byte has arrived. The bytes of each key are learnt from a Down and an Up, and every
// timed key must bring the same again.
KeyTimes TimeKeys(const Kind& kind, int presses) {
  PtyRun run(kind.How);
  const size_t length = kind.FirstScreen.size();
  if (!run.ReadUntil([length](const std::string& out) { return out.size() >= length; }, 20000) ||
      !run.WaitUntilBlocked())
    throw std::runtime_error(std::string(kind.Name) + ": no first screen");
  const std::string keys[2] = {Down, Up};
  // The first key after the start may send colours the terminal already has again; from
  // the second Down and Up on, each key brings the same bytes.
  CaptureKey(run, Down);
  CaptureKey(run, Up);
  const std::string expected[2] = {CaptureKey(run, Down), CaptureKey(run, Up)};
  if (expected[0] == expected[1]) throw std::runtime_error("Down and Up drew the same");
  if (HasKittyPicture(kind.FirstScreen) && !HasKittyPicture(expected[0]))
    throw std::runtime_error(std::string(kind.Name) + ": a key sent no new picture");
  KeyTimes result{{}, expected[0].size(), expected[1].size()};
  for (int i = 0; i < presses; ++i) {
    const std::string& bytes = expected[i % 2];
    run.ClearOutput();
    const auto start = Clock::now();
    run.Type(keys[i % 2]);
    if (!run.ReadUntil([&](const std::string& out) { return out.size() >= bytes.size(); }))
      throw std::runtime_error(std::string(kind.Name) + ": the key's screen was not drawn");
    result.Took.push_back(Milliseconds(Clock::now() - start));
    // A key typed before the program waits again would be taken as typed while drawing.
    if (!run.WaitUntilBlocked()) throw std::runtime_error("the menu does not wait for a key");
    if (run.Output() != bytes)
      throw std::runtime_error(std::string(kind.Name) +
                               ": a key drew other bytes than before: " + Tail(run.Output()));
  }
  return result;
}

void PrintKeyRow(const std::string& figure, const KeyTimes& keys) {
  PrintRow(figure, Format("%.2f ms", Percentile(keys.Took, 0.99)),
           Format("%.1f ms (goal)", KeyGoalMs), Ratio(Percentile(keys.Took, 0.99) / KeyGoalMs));
}

}  // namespace

void RunMenuRows(const MenuOptions& options) {
  const MenuMedia media;
  const std::string& program = options.Program;
  Kind cells{"vesamenu, 24-bit cells", CellsTerminal(program, media.Graphical()), {}, {}, {}};
  Kind text{"menu.c32", CellsTerminal(program, media.Text()), {}, {}, {}};
  Kind kitty{
      "vesamenu, kitty picture", KittyTerminal(program, media.Graphical(), true), {}, {}, {}};
  Kind kittyText{
      "menu.c32, kitty terminal", KittyTerminal(program, media.Text(), true), {}, {}, {}};
  Kind remote{"vesamenu, kitty picture in-band",
              KittyTerminal(program, media.Graphical(), false),
              {},
              {},
              {}};
  Kind longText{"menu.c32, 1,000 entries", CellsTerminal(program, media.Long()), {}, {}, {}};
  Kind* kinds[] = {&cells, &text, &kitty, &kittyText, &remote, &longText};
  for (Kind* kind : kinds) CaptureFirstScreen(*kind);
  // The screens must be what the rows say they are.
  if (!HasTrueColourCells(cells.FirstScreen) || HasKittyPicture(cells.FirstScreen))
    throw std::runtime_error("the graphical menu did not come as 24-bit cells");
  if (!HasSharedPicture(kitty.FirstScreen) || kitty.SharedBytes < 640 * 480 * 3)
    throw std::runtime_error("the graphical menu did not come as a kitty picture in shared memory");
  if (!HasKittyPicture(remote.FirstScreen) || HasSharedPicture(remote.FirstScreen))
    throw std::runtime_error("the graphical menu did not come as a kitty picture in-band");
  if (HasKittyPicture(kittyText.FirstScreen) || HasTrueColourCells(text.FirstScreen))
    throw std::runtime_error("the text menu came as a graphical screen");

  constexpr int Count = sizeof kinds / sizeof kinds[0];
  for (int i = 0; i < options.Starts; ++i)
    for (int j = 0; j < Count; ++j) TimeFirstScreen(*kinds[(i + j) % Count]);

  PrintRow("vesamenu first screen, 24-bit cells, median", Format("%.2f ms", Median(cells.Took)),
           Format("%.2f ms (menu.c32, same menu)", Median(text.Took)),
           Ratio(Median(cells.Took) / Median(text.Took)));
  PrintRow("vesamenu first screen, cells, processor time", Format("%.2f ms", Median(cells.CpuMs)),
           Format("%.2f ms (menu.c32)", Median(text.CpuMs)),
           Ratio(Median(cells.CpuMs) / Median(text.CpuMs)));
  PrintRow("vesamenu first screen, kitty picture, median", Format("%.2f ms", Median(kitty.Took)),
           Format("%.2f ms (menu.c32, kitty term)", Median(kittyText.Took)),
           Ratio(Median(kitty.Took) / Median(kittyText.Took)));
  PrintRow("vesamenu first screen, kitty, processor time", Format("%.2f ms", Median(kitty.CpuMs)),
           Format("%.2f ms (menu.c32)", Median(kittyText.CpuMs)),
           Ratio(Median(kitty.CpuMs) / Median(kittyText.CpuMs)));
  PrintRow("vesamenu first screen, kitty in-band (ssh), median",
           Format("%.2f ms", Median(remote.Took)),
           Format("%.2f ms (menu.c32, kitty term)", Median(kittyText.Took)),
           Ratio(Median(remote.Took) / Median(kittyText.Took)));
  PrintRow("menu.c32 1,000 entries, first screen, median", Format("%.2f ms", Median(longText.Took)),
           Format("%.2f ms (10 entries)", Median(text.Took)),
           Ratio(Median(longText.Took) / Median(text.Took)));
  std::fprintf(stderr,
               "menus: %d first screens each; bytes: vesamenu cells %zu, kitty %zu (and %zu in "
               "shared memory), kitty in-band %zu, menu.c32 %zu, 1,000 entries %zu; p90 vesamenu "
               "cells %.2f ms, kitty %.2f ms, in-band %.2f ms, menu.c32 %.2f ms\n",
               options.Starts, cells.FirstScreen.size(), kitty.FirstScreen.size(),
               kitty.SharedBytes, remote.FirstScreen.size(), text.FirstScreen.size(),
               longText.FirstScreen.size(), Percentile(cells.Took, 0.9),
               Percentile(kitty.Took, 0.9), Percentile(remote.Took, 0.9),
               Percentile(text.Took, 0.9));

  const KeyTimes cellKeys = TimeKeys(cells, options.Presses);
  const KeyTimes kittyKeys = TimeKeys(kitty, options.Presses);
  const KeyTimes remoteKeys = TimeKeys(remote, options.Presses);
  const KeyTimes textKeys = TimeKeys(text, options.Presses);
  PrintKeyRow("vesamenu key to screen, 24-bit cells, p99", cellKeys);
  PrintKeyRow("vesamenu key to screen, kitty picture, p99", kittyKeys);
  PrintKeyRow("vesamenu key to screen, kitty in-band (ssh), p99", remoteKeys);
  PrintKeyRow("menu.c32 key to screen, p99", textKeys);
  std::fprintf(stderr,
               "menus: %d keys each, Down and Up in turns; medians: vesamenu cells %.2f ms "
               "(%zu/%zu bytes), kitty %.2f ms (%zu/%zu bytes), in-band %.2f ms (%zu/%zu bytes), "
               "menu.c32 %.2f ms (%zu/%zu bytes)\n",
               options.Presses, Median(cellKeys.Took), cellKeys.DownBytes, cellKeys.UpBytes,
               Median(kittyKeys.Took), kittyKeys.DownBytes, kittyKeys.UpBytes,
               Median(remoteKeys.Took), remoteKeys.DownBytes, remoteKeys.UpBytes,
               Median(textKeys.Took), textKeys.DownBytes, textKeys.UpBytes);
}

}  // namespace vestalo::bench
