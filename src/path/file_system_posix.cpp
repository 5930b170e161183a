// The file-system seam on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

#include "path/file_system.h"

namespace {

// The system sees a path only up to its first NUL byte.
bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// stat (or lstat with `followLinks` false) of `path` in native spelling.
bool StatPath(const std::string& path, struct stat& info, bool followLinks = true) {
  if (path.empty() || HasNul(path)) return false;
  const std::string native = ToNativePath(path);
  const int rc = followLinks ? ::stat(native.c_str(), &info) : ::lstat(native.c_str(), &info);
  return rc == 0;
}

bool GetWorkingDirectory(std::string& dir) {
  std::vector<char> buffer(256);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      dir = buffer.data();
      return true;
    }
    if (errno != ERANGE || buffer.size() > (1U << 20)) return false;
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

PathStyle HostPathStyle() { return PathStyle::Posix; }

std::string ToNativePath(const std::string& path) {
  return UnifySeparators(path, PathStyle::Posix);
}

FileStatus GetFileStatus(const std::string& path) {
  FileStatus status;
  struct stat info {};
  if (!StatPath(path, info)) return status;
  status.exists = true;
  status.isDirectory = S_ISDIR(info.st_mode);
  return status;
}

bool GetFullPath(const std::string& path, std::string& full) {
  full.clear();
  if (HasNul(path)) return false;
  // An absolute path needs no working directory, which may even be gone.
  std::string workingDir;
  const bool absolute = !path.empty() && IsPathSeparator(path[0]);
  if (!absolute && !GetWorkingDirectory(workingDir)) return false;
  std::string result = LexicalFullPath(path, workingDir, PathStyle::Posix);
  if (result.size() > static_cast<size_t>(PATH_MAX - 1)) return false;
  full = std::move(result);
  return true;
}

bool IsSamePathName(const std::string& a, const std::string& b) { return a == b; }

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
  struct stat info {};
  if (!StatPath(path, info)) return false;
  identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  return true;
}

void RemoveOutputFile(const std::string& path) {
  struct stat info {};
  if (!StatPath(path, info, false)) return;
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return;
  ::unlink(ToNativePath(path).c_str());
}

bool IsReplaceable(const std::string& path) {
  struct stat info {};
  return !StatPath(path, info, false) || S_ISREG(info.st_mode);
}

bool CreateNewFile(const std::string& path, bool& taken) {
  taken = false;
  if (path.empty() || HasNul(path)) return false;
  const int file =
      ::open(ToNativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (file < 0) {
    taken = errno == EEXIST;
    return false;
  }
  return ::close(file) == 0;
}

bool MoveFileOnto(const std::string& from, const std::string& to) {
  if (HasNul(from) || HasNul(to)) return false;
  return ::rename(ToNativePath(from).c_str(), ToNativePath(to).c_str()) == 0;
}

bool VisitDirectory(const std::string& dir, const std::function<void(const std::string&)>& visit) {
  if (HasNul(dir)) return false;
  const std::unique_ptr<DIR, int (*)(DIR*)> stream(
      ::opendir(dir.empty() ? "." : ToNativePath(dir).c_str()), ::closedir);
  if (!stream) return false;
  while (const dirent* entry = ::readdir(stream.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") visit(name);
  }
  return true;
}

void RemoveRegularFile(const std::string& path) {
  struct stat info {};
  if (!StatPath(path, info, false) || !S_ISREG(info.st_mode)) return;
  ::unlink(ToNativePath(path).c_str());
}
