#include <pthread.h>
#include <signal.h>

#include "base/QuietThread.h"

namespace vestalo::platform {

std::thread QuietThread(std::function<void()> work) {
  // A new thread starts with its creator's signal mask: every signal is blocked while it is
  // made, and the creator's own mask is put back however that ends.
  struct MaskKept {
    sigset_t Before;
    ~MaskKept() { pthread_sigmask(SIG_SETMASK, &Before, nullptr); }
  } kept;
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &kept.Before);
  return std::thread(std::move(work));
}

}  // namespace vestalo::platform
