// The parts of one sync run: the projects it makes again, each with the art
// it records, and the run they share (its staged files, its messages).
// Picture projects are synced by sync_pictures.cpp, sheet projects by
// new_sheet.cpp, which makes them in the first place.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kit/common/art_record.h"
#include "kit/common/diagnostics.h"
#include "kit/common/folder_lock.h"
#include "kit/common/shown_paths.h"
#include "project/picture_project.h"

class CStagedFiles;

/// A project that records its art.
struct CSyncProject {
  std::string tpf;  // as the command line or the TAF names it
  std::string dir;  // the full path of its folder
  CPictureProject project;
  CProjectArt art;
};

/// One sync job.
struct CSyncRun {
  CStagedFiles& files;
  const CShownPaths& paths;
  const CKitReporter& reporter;
  bool force = false;
  /// "walk3.tmf: made again from walk3.png": told once the files are in place.
  std::vector<std::string> made;
};

/// The full path of `path`, as sync compares and lists files: `a.tmf` in
/// /work -> `/work/a.tmf`; "" when it does not fit.
std::string FullPath(std::string path);

/// Stages `bytes` for `target` unless it holds them already, and notes
/// `line` to be told when it does not. False after the message (a target
/// that is an input of the run, or that it writes twice, such as an image
/// two pictures name; a full disk).
bool WriteIfChanged(CSyncRun& run, const std::string& target, std::string_view bytes,
                    const std::string& line);

/// The art of picture `number` of a picture project, made again from
/// `bytes`, a PNG named `name` in messages, whatever its record says: what
/// import does with a picture of a project that shares its palette.
struct CForcedPicture {
  std::string name;
  std::string bytes;
};

/// Makes again the pictures of `project` whose PNG changed (or, when
/// `forced` is given, those pictures alone), each through its palette.
/// False after the message.
bool SyncPictureProject(const CSyncProject& project, CSyncRun& run,
                        const std::map<int32_t, CForcedPicture>* forced = nullptr);

/// Makes the project of a sheet again when its JSON or PNG changed.
/// False after the message.
bool SyncSheetProject(const CSyncProject& project, CSyncRun& run);

/// Loads the project `tpf` and its art records. False after the message,
/// to `reporter`.
bool LoadSyncProject(const std::string& tpf, const CShownPaths& paths, CSyncProject& project,
                     const CKitReporter& reporter);

/// The project beside the TMF file `tmf` that lists it as the image of a
/// picture and records its art, and that picture's number: the project a
/// picture imported into `tmf` belongs to. Nothing when there is none (the
/// TPF files of the folder, in name order, are asked).
struct CImageOwner {
  std::unique_ptr<CSyncProject> project;
  int32_t number = 0;
};
CImageOwner FindImageOwner(const std::string& tmf);

/// Locks the folders of `projects` in one order, so that two jobs never
/// wait on each other.
std::vector<std::unique_ptr<CFolderLock>> LockFolders(std::vector<std::string> folders);
