// The folder lock on Windows: a named mutex per folder, which Windows hands
// on when its holder ends (an abandoned mutex is owned all the same).
#include <windows.h>

#include "kit/common/art_record.h"
#include "kit/common/folder_lock.h"
#include "path/file_system.h"

CFolderLock::~CFolderLock() {
  if (m_handle == -1) return;
  const HANDLE mutex = reinterpret_cast<HANDLE>(m_handle);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

bool CFolderLock::Lock(const std::string& folder) {
  std::string full;
  if (!GetFullPath(folder, full)) return false;
  // Names compare ignoring case on Windows: so do the folders' locks.
  for (char& c : full)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const std::string name = "Local\\flipdeck-kit-" + HexText(HashBytes(full));
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return false;
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return false;
  }
  m_handle = reinterpret_cast<intptr_t>(mutex);
  return true;
}
