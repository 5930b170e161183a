// import of pictures that belong to a project recording its art: a PNG
// whose TMF a project lists as the image of a picture made from art. Its
// TMF keeps the PNG's print, so that sync and check know it is made from
// that PNG as it is; and when the project shares one palette among its
// pictures, the picture goes through that palette as sync takes it (a
// colour the palette holds keeps its index) rather than into a palette of
// its own, which the project would pair with nothing. --palette, --shared,
// --ia16 and --bits choose otherwise, and leave the projects out.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kit/common/folder_lock.h"
#include "kit/pictures/import.h"
#include "kit/pictures/sync_project.h"

class CStagedFiles;

class CProjectImports {
 public:
  /// Sorts the pictures of `options` by the projects their TMF files
  /// belong to.
  explicit CProjectImports(const ImportOptions& options);

  /// The options for the pictures imported as they are.
  const ImportOptions& GetPlain() const { return m_plain; }
  /// Whether the TMF of `picture`, imported as it is, keeps its print.
  bool IsRecorded(const std::string& picture) const;
  /// The pictures that go through a project's palette.
  std::vector<std::string> Inputs() const;

  /// Stages the pictures that go through a project's palette, and their
  /// palettes where they take new colours. False after the message.
  bool Import(CStagedFiles& files);
  /// Says, once the files are in place, what went through which palette.
  void Tell() const;

 private:
  struct COwned {
    std::unique_ptr<CSyncProject> project;
    std::map<int32_t, CForcedPicture> pictures;  // by number in the project
  };

  ImportOptions m_plain;
  std::vector<std::string> m_recorded;
  std::vector<COwned> m_owned;
  std::vector<std::unique_ptr<CFolderLock>> m_locks;
  std::vector<std::string> m_told;
};
