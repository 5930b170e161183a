// Lexical path rules, written once for both path styles so that the Windows
// rules can be tested on any system. Only file status and the working
// directory come from the platform seam (file_system.h).
#pragma once

#include <string>
#include <string_view>

enum class PathStyle { Windows, Posix };

/// The separator a style writes into results: '\\' on Windows, '/' on POSIX.
char PreferredSeparator(PathStyle style);

/// Whether `c` separates path components when a path is read. Both '\\' and
/// '/' do in either style: project files written on one system must read the
/// same on the other.
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

/// `path` with every separator spelled the style's own way.
/// Windows: `tex/sub/` -> `tex\sub\`; POSIX: `tex\sub\` -> `tex/sub/`.
std::string UnifySeparators(std::string_view path, PathStyle style);

/// The lexical absolute form of `path` against `workingDir` (itself
/// absolute; unused when `path` is): separators unified to the style's own,
/// repeated separators collapsed, "." components removed, ".." removing the
/// component before it (never above the root); a trailing separator of
/// `path` is kept. The empty path stands for the working directory.
/// POSIX, workingDir /work: `a\..\b\.\c.tmf` -> `/work/b/c.tmf`, `/x//y/` -> `/x/y/`.
/// Windows, workingDir C:\work: `..\x` -> `C:\x`, `D:\a\.\b` -> `D:\a\b`.
std::string LexicalFullPath(std::string_view path, std::string_view workingDir, PathStyle style);
