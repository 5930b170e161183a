// The file-system seam on Windows.
#include <memory>
#include <string>

#include "path/file_system.h"
#include "path/unique_handle_win32.h"

namespace {

// The system sees a path only up to its first NUL byte.
bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// The attributes of `path`, INVALID_FILE_ATTRIBUTES when it names nothing.
DWORD GetAttributes(const std::string& path) {
  if (path.empty() || HasNul(path)) return INVALID_FILE_ATTRIBUTES;
  return ::GetFileAttributesA(path.c_str());
}

// `text` in the code page the *A functions read names in.
std::wstring Widen(const std::string& text) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(
      static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

}  // namespace

PathStyle HostPathStyle() { return PathStyle::Windows; }

std::string ToNativePath(const std::string& path) { return path; }

FileStatus GetFileStatus(const std::string& path) {
  FileStatus status;
  const DWORD attributes = GetAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return status;
  status.exists = true;
  status.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return status;
}

bool GetFullPath(const std::string& path, std::string& full) {
  full.clear();
  if (HasNul(path)) return false;
  // GetFullPathNameA refuses the empty name, which stands for the working
  // directory here.
  const std::string name = path.empty() ? std::string(".") : path;
  std::string buffer(MAX_PATH, '\0');
  const DWORD length = ::GetFullPathNameA(name.c_str(), MAX_PATH, buffer.data(), nullptr);
  // A length of MAX_PATH or more is the size the result would need.
  if (length == 0 || length >= MAX_PATH) return false;
  buffer.resize(length);
  full = std::move(buffer);
  return true;
}

bool IsSamePathName(const std::string& a, const std::string& b) {
  if (a == b) return true;
  const std::wstring wideA = Widen(a);
  const std::wstring wideB = Widen(b);
  return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
  if (path.empty() || HasNul(path)) return false;
  // Opened for its attributes only and sharing everything, so a file
  // another program holds open still compares.
  HANDLE raw = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return false;
  const UniqueHandle handle(raw);
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileInformationByHandle(handle.get(), &info) == 0) return false;
  identity = {info.dwVolumeSerialNumber,
              (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
  return true;
}

void RemoveOutputFile(const std::string& path) {
  const DWORD attributes = GetAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) return;
  ::DeleteFileA(path.c_str());
}

bool IsReplaceable(const std::string& path) {
  const DWORD attributes = GetAttributes(path);
  const DWORD notFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & notFile) != 0) return false;
  if (path.empty() || HasNul(path)) return true;
  // NUL and CON have no attributes to tell them by on every version: the
  // kind of an opened handle does.
  HANDLE raw =
      ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return true;
  const UniqueHandle handle(raw);
  return ::GetFileType(handle.get()) == FILE_TYPE_DISK;
}

bool CreateNewFile(const std::string& path, bool& taken) {
  taken = false;
  if (path.empty() || HasNul(path)) return false;
  HANDLE raw = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return false;
  }
  return ::CloseHandle(raw) != 0;
}

bool MoveFileOnto(const std::string& from, const std::string& to) {
  if (HasNul(from) || HasNul(to)) return false;
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool VisitDirectory(const std::string& dir, const std::function<void(const std::string&)>& visit) {
  if (HasNul(dir)) return false;
  // "C:" lists the drive's working directory, as a name after it would be.
  const bool bare = dir.empty() || dir.back() == '\\' || dir.back() == '/' || dir.back() == ':';
  const std::string pattern = dir + (bare ? "*" : "\\*");
  WIN32_FIND_DATAA entry{};
  HANDLE raw = ::FindFirstFileA(pattern.c_str(), &entry);
  if (raw == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> search(raw, ::FindClose);
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") visit(name);
  } while (::FindNextFileA(search.get(), &entry) != 0);
  return true;
}

void RemoveRegularFile(const std::string& path) {
  const DWORD attributes = GetAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  const DWORD notFile =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
  if ((attributes & notFile) != 0) return;
  ::DeleteFileA(path.c_str());
}
