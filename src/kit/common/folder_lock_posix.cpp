// The folder lock on POSIX systems: flock on the folder itself, which no job
// replaces the way sync replaces the files in it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "kit/common/folder_lock.h"
#include "path/file_system.h"

CFolderLock::~CFolderLock() {
  if (m_handle >= 0) ::close(static_cast<int>(m_handle));  // closing lets the lock go
}

bool CFolderLock::Lock(const std::string& folder) {
  const std::string native = ToNativePath(folder.empty() ? "." : folder);
  const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int status = 0;
  do {
    status = ::flock(fd, LOCK_EX);
  } while (status != 0 && errno == EINTR);
  if (status != 0) {
    ::close(fd);
    return false;
  }
  m_handle = fd;
  return true;
}
