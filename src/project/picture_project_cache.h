// CPictureProjectCache: the picture projects of one writer run, each TPF
// file read once however many key frames or camera keys name it.
#pragma once

#include <string>
#include <unordered_map>

#include "project/picture_project.h"

class CPictureProjectCache {
 public:
  /// The project read from `tpfPath`: the first request loads it, later
  /// requests for the same path text return the same object. `loaded` is
  /// the result of that load on every request, so a caller that reports a
  /// project that cannot be opened reports it each time, as if it had read
  /// the file again. Never null: a failed load yields an empty project,
  /// whose Lookup finds nothing. The pointer stays valid while the cache
  /// lives.
  const CPictureProject* Get(const std::string& tpfPath, bool& loaded);

  /// Number of distinct paths requested so far.
  size_t GetCount() const { return m_mapProjects.size(); }

 private:
  struct CEntry {
    CPictureProject project;
    bool loaded = false;
  };
  // Keyed by the path exactly as written: the working directory does not
  // change during a run, so equal texts name the same file. The map's nodes
  // never move, which keeps handed-out pointers valid.
  std::unordered_map<std::string, CEntry> m_mapProjects;
};
