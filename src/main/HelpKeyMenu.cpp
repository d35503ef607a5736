#include "main/HelpKeyMenu.h"

#include <optional>

#include "base/OutputStream.h"
#include "console/Console.h"
#include "main/ProgramState.h"
#include "main/RunModes.h"
#include "main/Watch.h"

namespace vestalo {

int HelpIndexForFunctionKey(uint8_t extendedCode) {
  constexpr uint8_t F1 = 0x3B, F10 = 0x44;  // the PC's codes of F1..F10, one after another
  return extendedCode >= F1 && extendedCode <= F10 ? extendedCode - F1 + 1 : 0;
}

int HelpIndexForKey(uint8_t key) {
  if (key >= '1' && key <= '9') return key - '0';
  return key == '0' ? HelpFileCount : 0;
}

namespace {

// What is on the screen: 0 for the splash, else the help index of the digit that chose it.
int ShownIndex = 0;
int ChosenIndex = 0;

// With --watch, between keys: the screen on display is drawn again when its file changed,
// and after a change of the configuration, from the files it binds now.
void RedrawWhatChanged() {
  const WatchedChange change = WhatChanged();
  if (change == WatchedChange::Nothing) return;
  if (change == WatchedChange::Configuration) {
    if (!RescanConfiguration()) return;
    if (ShownIndex == 0) {
      ShowSplashScreen();
    } else {
      SelectedFile = HelpFiles[static_cast<std::size_t>(ShownIndex)];
      if (!SelectedFile.empty()) ShowFileOrNotFound(SelectedFile);
    }
  } else {
    ShowFileOrNotFound(ScreenShown());
  }
  FlushOutput();
}

}  // namespace

void RunHelpKeyMenu() {
  SelectedFile.clear();
  ShownIndex = ChosenIndex = 0;
  std::optional<uint8_t> waiting;  // an extended code that is a key code of its own
  for (;;) {
    FlushOutput();  // everything drawn is on the screen before a key is awaited
    uint8_t key = 0;
    if (waiting) key = *waiting, waiting.reset();
    else
      key = Watching() ? console::NextKey(WatchIntervalMs, RedrawWhatChanged) : console::NextKey();
    int index = HelpIndexForKey(key);
    if (key == 0 && !waiting) {
      // The code a 0 announces comes at once: a function key chooses its file; any other
      // code is handled as a key of its own, as the PC's keyboard interface gives it.
      const uint8_t extended = console::NextKey();
      index = HelpIndexForFunctionKey(extended);
      if (index == 0) waiting = extended;
    }
    if (index != 0) {
      SelectedFile = HelpFiles[static_cast<std::size_t>(index)];
      ChosenIndex = index;
    }
    if (key == 'x' || key == 'X') return;
    if (!SelectedFile.empty()) {
      ShowFileOrNotFound(SelectedFile);
      ShownIndex = ChosenIndex;
    }
    FlushOutput();
    if (console::InputPending()) return;
  }
}

}  // namespace vestalo
