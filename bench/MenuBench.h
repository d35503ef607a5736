// The boot menus in a pseudo-terminal: the graphical menu (vesamenu.c32) in 24-bit cells and
// as a kitty picture against the text menu (menu.c32), their first screens and their keys.
#pragma once

#include <string>

namespace vestalo::bench {

struct MenuOptions {
  int Starts = 40;      // first screens of each medium and terminal, alternated
  int Presses = 200;    // arrow keys in each menu and terminal
  std::string Program;  // the vestalo to run
};

// Measures and prints the boot menus' rows of the table; notes go to standard error.
void RunMenuRows(const MenuOptions& options);

}  // namespace vestalo::bench
