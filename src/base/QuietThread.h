// A thread for work alone (decoding), apart from the one that waits for keys.
#pragma once

#include <functional>
#include <thread>

namespace vestalo::platform {

// Runs `work` on a thread of its own that takes none of the program's signals: they stay with
// the main thread, whose waits for keys and the terminal they end.
std::thread QuietThread(std::function<void()> work);

}  // namespace vestalo::platform
