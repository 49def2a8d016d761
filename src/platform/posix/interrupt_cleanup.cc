#include "platform/posix/interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include "platform/pending_temporaries.h"

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void removeTemporary(const char* path) { ::unlink(path); }

// Only async-signal-safe calls: unlink, sigaction, sigprocmask, raise.
void onInterrupt(int sig) {
  ForEachPendingTemporary(removeTemporary);
  struct sigaction dfl = {};
  dfl.sa_handler = SIG_DFL;
  ::sigemptyset(&dfl.sa_mask);
  ::sigaction(sig, &dfl, nullptr);
  sigset_t unblock;
  ::sigemptyset(&unblock);
  ::sigaddset(&unblock, sig);
  ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  ::raise(sig);
}

}  // namespace

void InstallInterruptCleanup() {
  struct sigaction action = {};
  action.sa_handler = onInterrupt;
  ::sigemptyset(&action.sa_mask);
  // One handler at a time: the others wait until it has ended the process.
  for (int sig : kSignals) ::sigaddset(&action.sa_mask, sig);
  for (int sig : kSignals) {
    struct sigaction old = {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
      continue;
    }
    ::sigaction(sig, &action, nullptr);
  }
}
