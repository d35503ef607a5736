#include "main/HelpKeyMenu.h"

#include "base/OutputStream.h"
#include "console/Console.h"
#include "main/ProgramState.h"
#include "main/RunModes.h"
#include "main/Watch.h"

namespace vestalo {

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
  for (;;) {
    FlushOutput();  // everything drawn is on the screen before a key is awaited
    const uint8_t key =
        Watching() ? console::NextKey(WatchIntervalMs, RedrawWhatChanged) : console::NextKey();
    if (int index = HelpIndexForKey(key)) {
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
