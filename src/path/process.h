// The running process and the others on the machine, as far as staged
// outputs need them: who writes a temporary file, whether that writer still
// runs, and the interrupts that must wait until no temporary file is left.
// One implementation per system (process_posix.cpp, process_win32.cpp),
// chosen by the build.
#pragma once

#include <cstdint>

/// The id the system gives this process.
uint64_t CurrentProcessId();

/// Whether a process with the id `id` runs now. False only when the system
/// says that no such process exists; an id the system cannot even name
/// counts as running, so that nothing is taken for abandoned on a guess.
bool IsProcessRunning(uint64_t id);

/// Holds back, while it lives, the interrupts that would end the process at
/// once (on POSIX SIGINT, SIGTERM and SIGHUP, each only where its action is
/// the default one: an ignored or handled signal ends nothing). Whoever
/// holds the block asks IsPending at natural points and winds down; when the
/// block goes, an interrupt that came meanwhile ends the process as it would
/// have, with the status of its signal. On Windows nothing is held back:
/// Ctrl-C ends the process there, and what it leaves is the next run's to
/// remove.
class CInterruptBlock {
 public:
  CInterruptBlock();
  ~CInterruptBlock();
  CInterruptBlock(const CInterruptBlock&) = delete;
  CInterruptBlock& operator=(const CInterruptBlock&) = delete;

  /// Whether an interrupt this block holds back has come and waits.
  bool IsPending() const;

 private:
  // Bit i set: the i-th interrupt of the system is held back by this block
  // (and not by someone before it, whose block it stays).
  unsigned m_nHeld = 0;
};
