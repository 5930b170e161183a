// The path utilities over an explicit host: the path style and the two
// questions the rules ask of a system (the full path of a name, the status
// of a path). path_utils.h binds them to the running system; tests bind them
// to a fake disk with Windows paths.
#pragma once

#include <functional>
#include <string>

#include "path/file_system.h"
#include "path/path_style.h"

struct PathHost {
  PathStyle style = PathStyle::Posix;
  /// As GetFullPath: false, with `full` empty, when no full path fits.
  std::function<bool(const std::string& path, std::string& full)> fullPath;
  /// As GetFileStatus.
  std::function<FileStatus(const std::string& path)> fileStatus;
};

/// The running system: HostPathStyle, GetFullPath and GetFileStatus.
const PathHost& HostPaths();

/// NormalizeDirectory of path_utils.h under `host`'s rules.
/// Windows: `tex/sub/` -> `tex\sub`, `\` -> `.`, `C:\` -> `C:`.
/// POSIX: `tex\sub\` -> `tex/sub`, `/` and `/.` -> `/`.
bool NormalizeDirectory(std::string& path, const PathHost& host);

/// SplitPath of path_utils.h under `host`'s rules. Returns false with `dir`
/// and `name` empty when the full path does not fit.
/// Windows: `C:\a\b.tpf` -> `C:\a` + `b.tpf`, `C:\` -> `C:` + "".
/// POSIX: `/a.tpf` -> `/` + `a.tpf`.
bool SplitPath(const std::string& path, std::string& dir, std::string& name, const PathHost& host);

/// MakeFullPath of path_utils.h under `host`'s rules.
bool MakeFullPath(std::string& path, const PathHost& host);

/// SearchFile of path_utils.h under `host`'s rules. A candidate whose full
/// path does not fit is passed over like a missing one.
bool SearchFile(std::string& found, const std::string& dirList, const std::string& fileName,
                const PathHost& host);
