// The running process and its interrupts on Windows.
#include "path/process.h"
#include "path/unique_handle_win32.h"

uint64_t CurrentProcessId() { return ::GetCurrentProcessId(); }

bool IsProcessRunning(uint64_t id) {
  if (id > MAXDWORD) return true;
  HANDLE raw = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
  // Only an id that names no process is refused as a parameter; one we may
  // not open (another user's) runs.
  if (raw == nullptr) return ::GetLastError() != ERROR_INVALID_PARAMETER;
  const UniqueHandle process(raw);
  DWORD status = 0;
  return ::GetExitCodeProcess(process.get(), &status) == 0 || status == STILL_ACTIVE;
}

// Ctrl-C ends a Windows console program from another thread, past any
// block; the temporary files it leaves are removed by the next run.
CInterruptBlock::CInterruptBlock() = default;
CInterruptBlock::~CInterruptBlock() = default;
bool CInterruptBlock::IsPending() const { return false; }
