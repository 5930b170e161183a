// Directory normalisation, path splitting, absolute paths and the search of
// a file along a ";"-separated directory list, in the form in which TAF and
// TPF files write paths. Both '\\' and '/' separate on input; results use
// the running system's separator. None of these functions writes a message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "path/file_system.h"

/// Normalises a directory name in place and reports whether it names an
/// existing directory; `path` is replaced only then. One trailing separator,
/// or one trailing separator and dot, is dropped. On POSIX: `tex\sub\` ->
/// `tex/sub`, `tex/.` -> `tex`, "" -> `.`, `/` stays `/`; `texx` stays
/// `texx` (false) when only `tex` exists.
bool NormalizeDirectory(std::string& path);

/// Splits the full path of `path` at its last separator into `dir` and
/// `name`, the separator in neither: `a.tpf` in /work -> `/work` and
/// `a.tpf`; "" in /work -> `/` and `work`. Without a separator `dir` is the
/// whole full path, `name` empty, and the result is whether `dir` is a
/// directory. False, with both empty, when the full path does not fit.
bool SplitPath(const std::string& path, std::string& dir, std::string& name);

/// Replaces `path` by its full path: `a\..\b.tmf` in /work -> `/work/b.tmf`.
/// False, with `path` empty, when the full path does not fit.
bool MakeFullPath(std::string& path);

/// The entries of a ";"-separated directory list, in order, without the
/// empty ones that stray separators make: `;tex;;..\common;` -> `tex`,
/// `..\common`.
std::vector<std::string_view> SplitDirectoryList(std::string_view list);

/// Looks for `fileName` along `dirList` ("tex;..\common"; empty entries are
/// skipped) and sets `found` to the full path of the first existing file that
/// is not a directory. A name with a directory or drive part that exists as
/// it stands wins first (a drive counts on Windows only); otherwise it too is
/// searched along the list. Returns false and leaves `found` alone when
/// nothing was found.
bool SearchFile(std::string& found, const std::string& dirList, const std::string& fileName);

/// A path as the file system tells files apart: its full path, and the
/// identity of the file it names when that exists. Made once, it compares
/// with many others at the cost of theirs alone.
class CFileName {
 public:
  explicit CFileName(const std::string& path);
  /// Whether both name one file: the same full path, compared as the file
  /// system compares names (`OUT.C` is `out.c` on Windows), or one existing
  /// file reached through a link or another spelling. An empty path names
  /// nothing.
  bool IsSameAs(const CFileName& other) const;

 private:
  // Filled by the constructor's checks below them, so declared first.
  std::string m_strFullPath;
  FileIdentity m_identity;
  bool m_bEmpty;
  bool m_bHasFullPath;
  bool m_bExists;
};

/// CFileName(a).IsSameAs(CFileName(b)). Used to keep a job's outputs off its
/// inputs and off each other.
bool NamesSameFile(const std::string& a, const std::string& b);
