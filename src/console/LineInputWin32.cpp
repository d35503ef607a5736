#include "console/Console.h"

namespace console {

// The console's input mode is line input with echo from the start; a ReadFile of the
// Enter wait echoes, reading key records never does.
void BeginLineInput() {}

}  // namespace console
