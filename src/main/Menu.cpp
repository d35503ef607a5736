#include "main/Menu.h"

#include "console/Console.h"
#include "main/OutputStream.h"
#include "main/ProgramState.h"
#include "main/RunModes.h"

namespace vestalo {

int HelpIndexForKey(uint8_t key) {
  if (key >= '1' && key <= '9') return key - '0';
  return key == '0' ? HelpFileCount : 0;
}

void RunHelpKeyMenu() {
  SelectedFile.clear();
  for (;;) {
    FlushOutput();  // everything drawn is on the screen before a key is awaited
    const uint8_t key = console::NextKey();
    if (int index = HelpIndexForKey(key)) SelectedFile = HelpFiles[static_cast<std::size_t>(index)];
    if (key == 'x' || key == 'X') return;
    if (!SelectedFile.empty()) ShowFileOrNotFound(SelectedFile);
    FlushOutput();
    if (console::InputPending()) return;
  }
}

}  // namespace vestalo
