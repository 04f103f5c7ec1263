// The copy in flight, and the signals that must not outlive it: what a
// signal handler touches is here alone, and async-signal-safe.
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>

#include "platform/helpers_posix.h"
#include "platform/platform_posix.h"

namespace mdlReplace {

namespace {

// The signals whose default action ends the program, besides the
// real-time ones; SIGKILL cannot be caught, and the copy it leaves goes
// with the next run that writes in that folder.
constexpr std::array kEndingSignals = {
    SIGHUP,    SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
    SIGFPE,    SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
    SIGXCPU,   SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// The copy being written, which a signal that ends the program removes
// first, and a second descriptor of it that holds its lock until it is put
// in place or removed. Kept in a fixed buffer: the handler may not
// allocate.
char g_pending_copy[PATH_MAX + 1];
volatile std::sig_atomic_t g_copy_pending = 0;
int g_pending_lock = -1;

extern "C" void RemovePendingCopyAndEnd(int signal_number) {
  if (g_copy_pending != 0)
    unlink(g_pending_copy);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : kEndingSignals)
    sigaddset(&set, signal_number);
  for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX; ++signal_number)
    sigaddset(&set, signal_number);
  return set;
}

}  // namespace

EndingSignalsHeld::EndingSignalsHeld() {
  const sigset_t held = EndingSignals();
  sigprocmask(SIG_BLOCK, &held, &before_);
}

EndingSignalsHeld::~EndingSignalsHeld() {
  sigprocmask(SIG_SETMASK, &before_, nullptr);
}

void RemoveCopyOnEndingSignals() {
  const sigset_t ending = EndingSignals();
  for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
    struct sigaction action {};
    if (sigismember(&ending, signal_number) != 1 ||
        sigaction(signal_number, nullptr, &action) != 0 ||
        action.sa_handler != SIG_DFL)
      continue;
    action.sa_handler = RemovePendingCopyAndEnd;
    action.sa_mask = ending;
    action.sa_flags = 0;
    sigaction(signal_number, &action, nullptr);
  }
}

void RecordPendingCopy(const std::string& path, int lock) {
  g_copy_pending = 0;
  g_pending_lock = lock;
  if (path.size() >= sizeof(g_pending_copy))
    return;
  std::memcpy(g_pending_copy, path.c_str(), path.size() + 1);
  g_copy_pending = 1;
}

void ForgetPendingCopy(const std::string& path) {
  if (g_copy_pending != 0 && path != g_pending_copy)
    return;
  g_copy_pending = 0;
  if (g_pending_lock >= 0)
    close(g_pending_lock);
  g_pending_lock = -1;
}

PosixPlatform::~PosixPlatform() {
  if (g_copy_pending == 0)
    return;
  EndingSignalsHeld held;
  unlink(g_pending_copy);
  ForgetPendingCopy(g_pending_copy);
}

}  // namespace mdlReplace
