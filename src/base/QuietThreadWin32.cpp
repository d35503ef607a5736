#include "base/QuietThread.h"

namespace vestalo::platform {

// The console's Ctrl+C comes on a thread of the system's own: there is nothing to keep away.
std::thread QuietThread(std::function<void()> work) { return std::thread(std::move(work)); }

}  // namespace vestalo::platform
