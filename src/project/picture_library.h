// CPictureLibrary: the picture projects of one conversion. Each TPF file is
// read once and each of its TMF and TLF names searched once, however many
// key frames and camera keys name them: an animation of thousands of keys
// over a hundred pictures must not search the disk thousands of times.
#pragma once

#include <string>
#include <unordered_map>

#include "project/picture_project.h"

class CPictureLibrary {
 public:
  /// The project read from `tpfPath`: the first request loads it, later
  /// requests for the same path text return the same object. `loaded` is
  /// the result of that load on every request, so a caller that reports a
  /// project that cannot be opened reports it each time. A failed load
  /// yields an empty project, whose Lookup finds nothing. The reference
  /// stays valid while the library lives.
  const CPictureProject& GetProject(const std::string& tpfPath, bool& loaded);

  /// The full paths of `info`'s TMF and TLF files, searched along the TMF
  /// and TLF directory lists of the project read from `tpfPath`; a file
  /// that is not found gives the empty path. Project in /work/anim with
  /// walk1.tmf there -> `/work/anim/walk1.tmf`.
  void FindFiles(const std::string& tpfPath, const CPictureInfo& info, std::string& tmfPath,
                 std::string& tlfPath);

 private:
  struct CEntry {
    CPictureProject project;
    bool loaded = false;
    // File name as the picture writes it -> full path found, or "".
    std::unordered_map<std::string, std::string> tmfFound;
    std::unordered_map<std::string, std::string> tlfFound;
  };
  CEntry& GetEntry(const std::string& tpfPath);

  // Keyed by the path exactly as written: the working directory does not
  // change during a run, so equal texts name the same file. The map's nodes
  // never move, which keeps handed-out references valid.
  std::unordered_map<std::string, CEntry> m_mapProjects;
};
