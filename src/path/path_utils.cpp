// The path utilities, written once over a PathHost and bound to the running
// system for the rest of flipdeck.
#include "path/path_utils.h"

#include <algorithm>
#include <cctype>

#include "path/path_host.h"

namespace {

// Removes one trailing separator, or else one trailing separator and dot:
// `tex\.` -> `tex`, `a\\` -> `a\` (one removal only). On POSIX the root keeps
// its separator, `/.` -> `/`: an empty text would later stand for the working
// directory, which is not the root there.
void DropTrailingSeparator(std::string& dir, PathStyle style) {
  const char sep = PreferredSeparator(style);
  size_t keep = dir.size();
  if (keep >= 1 && dir[keep - 1] == sep) {
    keep -= 1;
  } else if (keep >= 2 && dir[keep - 1] == '.' && dir[keep - 2] == sep) {
    keep -= 2;
  }
  if (keep == 0 && style == PathStyle::Posix && !dir.empty() && dir[0] == sep) keep = 1;
  dir.resize(keep);
}

// Whether `name` says where it lies rather than leaving that to the search
// list: a separator anywhere, or on Windows a leading drive (`C:a.tmf`).
bool HasDirectoryPart(const std::string& name, PathStyle style) {
  if (std::any_of(name.begin(), name.end(), IsPathSeparator)) return true;
  return style == PathStyle::Windows && name.size() >= 2 &&
         std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

bool IsExistingFile(const std::string& path, const PathHost& host) {
  const FileStatus status = host.fileStatus(path);
  return status.exists && !status.isDirectory;
}

}  // namespace

const PathHost& HostPaths() {
  static const PathHost host{HostPathStyle(), GetFullPath, GetFileStatus};
  return host;
}

bool NormalizeDirectory(std::string& path, const PathHost& host) {
  const char sep = PreferredSeparator(host.style);
  std::string dir = UnifySeparators(path, host.style);
  DropTrailingSeparator(dir, host.style);
  if (dir.empty()) dir.push_back('.');
  // Asking for "dir\." makes a bare drive `C:` stand for its root, which is
  // what it names once a file name is appended to it.
  const FileStatus status = host.fileStatus(dir + sep + '.');
  if (!status.exists || !status.isDirectory) return false;
  path = std::move(dir);
  return true;
}

bool SplitPath(const std::string& path, std::string& dir, std::string& name, const PathHost& host) {
  std::string full;
  if (!host.fullPath(path, full)) {
    dir.clear();
    name.clear();
    return false;
  }
  size_t at = full.rfind(PreferredSeparator(host.style));
  if (at == std::string::npos) at = full.find_last_of("\\/");
  if (at == std::string::npos) {
    dir = full;
    name.clear();
    return NormalizeDirectory(dir, host);
  }
  name = full.substr(at + 1);
  // A file in the POSIX root lies in "/", not in the empty text, which the
  // project would later take for the working directory.
  const bool inPosixRoot = at == 0 && host.style == PathStyle::Posix;
  dir = full.substr(0, inPosixRoot ? 1 : at);
  return true;
}

bool MakeFullPath(std::string& path, const PathHost& host) {
  std::string full;
  if (!host.fullPath(path, full)) {
    path.clear();
    return false;
  }
  path = std::move(full);
  return true;
}

std::vector<std::string_view> SplitDirectoryList(std::string_view list) {
  std::vector<std::string_view> entries;
  while (!list.empty()) {
    const size_t end = std::min(list.find(';'), list.size());
    if (end != 0) entries.push_back(list.substr(0, end));
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  return entries;
}

bool SearchFile(std::string& found, const std::string& dirList, const std::string& fileName,
                const PathHost& host) {
  std::string candidate;
  if (HasDirectoryPart(fileName, host.style) && IsExistingFile(fileName, host) &&
      host.fullPath(fileName, candidate)) {
    found = std::move(candidate);
    return true;
  }
  const char sep = PreferredSeparator(host.style);
  // Empty entries come from stray ";" and would otherwise add the working
  // directory to the places searched.
  for (const std::string_view entry : SplitDirectoryList(dirList)) {
    std::string place(entry);
    if (!NormalizeDirectory(place, host)) continue;
    place += sep;
    place += fileName;
    // A candidate too long for a full path could not be opened either.
    if (!host.fullPath(place, candidate) || !IsExistingFile(candidate, host)) continue;
    found = std::move(candidate);
    return true;
  }
  return false;
}

bool NormalizeDirectory(std::string& path) { return NormalizeDirectory(path, HostPaths()); }

bool SplitPath(const std::string& path, std::string& dir, std::string& name) {
  return SplitPath(path, dir, name, HostPaths());
}

bool MakeFullPath(std::string& path) { return MakeFullPath(path, HostPaths()); }

bool SearchFile(std::string& found, const std::string& dirList, const std::string& fileName) {
  return SearchFile(found, dirList, fileName, HostPaths());
}

CFileName::CFileName(const std::string& path)
    : m_strFullPath(),
      m_identity(),
      m_bEmpty(path.empty()),
      m_bHasFullPath(!m_bEmpty && GetFullPath(path, m_strFullPath)),
      m_bExists(!m_bEmpty && GetFileIdentity(path, m_identity)) {}

bool CFileName::IsSameAs(const CFileName& other) const {
  if (m_bEmpty || other.m_bEmpty) return false;
  if (m_bHasFullPath && other.m_bHasFullPath && IsSamePathName(m_strFullPath, other.m_strFullPath))
    return true;
  return m_bExists && other.m_bExists && m_identity == other.m_identity;
}

bool NamesSameFile(const std::string& a, const std::string& b) {
  return CFileName(a).IsSameAs(CFileName(b));
}
