#include "kit/common/shown_paths.h"

#include <filesystem>

#include "path/file_system.h"
#include "path/path_utils.h"

namespace fs = std::filesystem;

CShownPaths::CShownPaths(const std::string& anime)
    : m_bFull(fs::path(ToNativePath(anime)).is_absolute()) {
  GetFullPath("", m_strWorkingDir);
}

std::string CShownPaths::Name(const std::string& path) const {
  std::string full;
  if (!GetFullPath(path, full)) return ToNativePath(path);
  if (m_bFull) return full;
  const std::string relative = RelativePath(full, m_strWorkingDir);
  return relative.empty() ? full : relative;
}

std::string CShownPaths::NameDirectories(const std::string& list) const {
  std::string text;
  const std::vector<std::string_view> dirs = SplitDirectoryList(list);
  for (size_t i = 0; i < dirs.size(); ++i) {
    std::string dir = Name(std::string(dirs[i]));
    if (dir.empty() || !IsPathSeparator(dir.back())) dir += PreferredSeparator(HostPathStyle());
    text += (i == 0 ? "" : i + 1 == dirs.size() ? " or " : ", ") + dir;
  }
  return text;
}

std::string RelativePath(const std::string& path, const std::string& base) {
  std::string fullPath;
  std::string fullBase;
  if (!GetFullPath(path, fullPath) || !GetFullPath(base, fullBase)) return "";
  return fs::path(fullPath).lexically_relative(fs::path(fullBase)).string();
}
