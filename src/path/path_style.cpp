// Separators, roots and the lexical full path, for either path style.
#include "path/path_style.h"

#include <cctype>
#include <vector>

char PreferredSeparator(PathStyle style) { return style == PathStyle::Windows ? '\\' : '/'; }

std::string UnifySeparators(std::string_view path, PathStyle style) {
  std::string unified(path);
  for (char& c : unified)
    if (IsPathSeparator(c)) c = PreferredSeparator(style);
  return unified;
}

namespace {

// Length of the root of an absolute path: "/" on POSIX; "C:\", "\" or
// "\\server\share\" on Windows. 0 for a relative path.
size_t RootLength(std::string_view path, PathStyle style) {
  if (path.empty()) return 0;
  if (style == PathStyle::Posix) return IsPathSeparator(path[0]) ? 1 : 0;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':')
    return (path.size() >= 3 && IsPathSeparator(path[2])) ? 3 : 2;
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    // UNC: \\server\share\ is the root.
    size_t i = 2;
    int parts = 0;
    while (i < path.size() && parts < 2) {
      if (IsPathSeparator(path[i])) ++parts;
      ++i;
    }
    return i;
  }
  return IsPathSeparator(path[0]) ? 1 : 0;
}

// The directory a Windows "D:name" is relative to: the working directory
// when it is on that drive, the drive's root otherwise.
std::string DriveDirectory(char drive, std::string_view workingDir) {
  const auto upper = [](char c) { return std::toupper(static_cast<unsigned char>(c)); };
  if (workingDir.size() >= 2 && workingDir[1] == ':' && upper(workingDir[0]) == upper(drive))
    return std::string(workingDir);
  return std::string{drive, ':'};
}

// `path` made absolute by putting in front what it is relative to; dots and
// repeated separators are left for the caller to resolve.
// Windows, workingDir C:\work: `a` -> `C:\work\a`, `\a` -> `C:\a`, `D:a` -> `D:\a`.
std::string JoinWorkingDir(std::string_view path, std::string_view workingDir, PathStyle style) {
  const std::string sep(1, PreferredSeparator(style));
  const size_t root = RootLength(path, style);
  if (root == 0) return std::string(workingDir) + sep + std::string(path);
  if (style == PathStyle::Posix) return std::string(path);
  if (root == 2) return DriveDirectory(path[0], workingDir) + sep + std::string(path.substr(2));
  if (root != 1) return std::string(path);
  // "\name" is rooted on the working directory's drive or share.
  std::string_view drive = workingDir.substr(0, RootLength(workingDir, style));
  while (!drive.empty() && IsPathSeparator(drive.back())) drive.remove_suffix(1);
  return std::string(drive) + std::string(path);
}

}  // namespace

std::string LexicalFullPath(std::string_view path, std::string_view workingDir, PathStyle style) {
  const char sep = PreferredSeparator(style);
  const std::string joined = JoinWorkingDir(path, workingDir, style);

  const bool trailing = !path.empty() && IsPathSeparator(path.back());
  const size_t joinedRoot = RootLength(joined, style);
  std::string result = UnifySeparators(std::string_view(joined).substr(0, joinedRoot), style);

  std::vector<std::string_view> parts;
  std::string_view rest(joined);
  rest.remove_prefix(joinedRoot);
  while (!rest.empty()) {
    size_t end = 0;
    while (end < rest.size() && !IsPathSeparator(rest[end])) ++end;
    std::string_view part = rest.substr(0, end);
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result.push_back(sep);
    result.append(parts[i]);
  }
  if (trailing && !parts.empty()) result.push_back(sep);
  if (result.empty()) result.push_back(sep);
  return result;
}
