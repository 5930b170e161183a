// How one run of the kit names files in its messages: every file the same
// way, so that an editor or IDE reading the messages opens each one from
// the folder the command ran in. A build that gives the animation by its
// full path gets full paths throughout; a command typed in the animation's
// folder gets short relative names.
#pragma once

#include <string>

class CShownPaths {
 public:
  /// Names files as `anime`, the animation as the command line gives it, is
  /// named: by full paths when it is absolute, else relative to the working
  /// directory.
  explicit CShownPaths(const std::string& anime);

  /// `path` (absolute, or relative to the working directory; either
  /// separator) as messages name it. In /work with `walk.taf`:
  /// `/work/anim/walk1.tmf` -> `anim/walk1.tmf`, `/lib/a.tlf` -> `../lib/a.tlf`,
  /// `./walk.tpf` -> `walk.tpf`; with `/work/walk.taf`: `anim\walk.tpf` ->
  /// `/work/anim/walk.tpf`.
  std::string Name(const std::string& path) const;
  /// A ";"-separated directory list as messages name it, each directory
  /// with a separator after it so that even the working directory reads as
  /// one: `/work/tex;/work/common` -> `tex/ or common/`, `/work` -> `./`.
  std::string NameDirectories(const std::string& list) const;

 private:
  bool m_bFull = false;
  std::string m_strWorkingDir;  // its full path; "" when unknown
};

/// `path` relative to the directory `base`, both taken from the working
/// directory when relative: (`/a/b/c.tmf`, `/a`) -> `b/c.tmf`, (`/a/c.tmf`,
/// `/a/b`) -> `../c.tmf`. "" when `path` has no full path or no relative
/// form (it lies on another drive).
std::string RelativePath(const std::string& path, const std::string& base);
