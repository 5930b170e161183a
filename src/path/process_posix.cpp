// The running process and its interrupts on POSIX systems.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <iterator>

#include "path/process.h"

namespace {

// What ends a run from outside: Ctrl-C, kill's default signal, a terminal
// that went away.
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// Whether `signal` would end the process: its action is still the default.
bool EndsProcess(int signal) {
  struct sigaction action {};
  if (::sigaction(signal, nullptr, &action) != 0) return false;
  return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_DFL;
}

// The signals of `held` (bits over kInterrupts) as a signal set.
sigset_t HeldSet(unsigned held) {
  sigset_t set;
  sigemptyset(&set);
  for (size_t i = 0; i < std::size(kInterrupts); ++i)
    if ((held & (1U << i)) != 0) sigaddset(&set, kInterrupts[i]);
  return set;
}

}  // namespace

uint64_t CurrentProcessId() { return static_cast<uint64_t>(::getpid()); }

bool IsProcessRunning(uint64_t id) {
  const auto pid = static_cast<pid_t>(id);
  // 0 and negative ids would ask about process groups.
  if (pid <= 0 || static_cast<uint64_t>(pid) != id) return true;
  // Signal 0 only asks; EPERM is a process of another user.
  return ::kill(pid, 0) == 0 || errno != ESRCH;
}

CInterruptBlock::CInterruptBlock() {
  sigset_t current;
  if (::pthread_sigmask(SIG_BLOCK, nullptr, &current) != 0) return;
  for (size_t i = 0; i < std::size(kInterrupts); ++i) {
    if (sigismember(&current, kInterrupts[i]) == 1 || !EndsProcess(kInterrupts[i])) continue;
    m_nHeld |= 1U << i;
  }
  const sigset_t held = HeldSet(m_nHeld);
  if (::pthread_sigmask(SIG_BLOCK, &held, nullptr) != 0) m_nHeld = 0;
}

CInterruptBlock::~CInterruptBlock() {
  const sigset_t held = HeldSet(m_nHeld);
  ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

bool CInterruptBlock::IsPending() const {
  sigset_t pending;
  if (m_nHeld == 0 || ::sigpending(&pending) != 0) return false;
  for (size_t i = 0; i < std::size(kInterrupts); ++i)
    if ((m_nHeld & (1U << i)) != 0 && sigismember(&pending, kInterrupts[i]) == 1) return true;
  return false;
}
