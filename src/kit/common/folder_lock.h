// CFolderLock: one job at a time in a project's folder. Two builds steps of
// one project (a sheet's animations, pictures that share a palette) may run
// sync side by side; the second waits until the first is done and then
// finds the files made, rather than making them again under the feet of a
// conversion that already read them. The system lets the lock go when its
// holder ends, however it ends, so a killed job blocks nobody.
#pragma once

#include <cstdint>
#include <string>

class CFolderLock {
 public:
  CFolderLock() = default;
  /// Lets the lock go.
  ~CFolderLock();
  CFolderLock(const CFolderLock&) = delete;
  CFolderLock& operator=(const CFolderLock&) = delete;

  /// Waits until this process holds the folder `folder` alone. False when
  /// the folder cannot be locked at all (missing, or a system without
  /// locks there); the caller goes on unlocked then.
  bool Lock(const std::string& folder);

 private:
  intptr_t m_handle = -1;  // the system's handle of what is locked
};
