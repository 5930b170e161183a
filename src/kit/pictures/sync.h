// flipdeck-kit sync: a project's files made again from the art it records
// (art_record.h), so that an edited PNG or sheet is what flipdeck shows.
// A picture whose PNG changed is imported again through the palette it
// shares: a colour the palette holds keeps its index, a new one takes an
// entry no picture uses any more (palette_fit.h). A sheet's project is
// made again from its JSON and PNG as new made it, through the palette it
// has. Art that did not change is not read (a size-and-time check,
// confirmed by content where the time changed), and a file whose bytes
// would not change keeps its bytes and its time. Everything is staged and
// renamed at the end: a sync that fails changes no file.
#pragma once

#include <string>
#include <vector>

#include "kit/common/diagnostics.h"

struct SyncOptions {
  /// TPF projects, or TAF animations: each project a TPF.<n>.FILE key names,
  /// read from the working directory as flipdeck reads it.
  std::vector<std::string> files;
  /// Replace the files of a sheet's project that were edited by hand.
  bool force = false;
};

/// What a sync looked at and what it changed, for a caller that watches the
/// art and must tell its own writes from the artist's.
struct CSyncReport {
  std::vector<std::string> read;     // the animations, projects and art, full paths
  std::vector<std::string> written;  // the files written or deleted, full paths
  std::vector<std::string> made;     // "walk3.tmf: made again from walk3.png"
};

/// Syncs the projects of `options`. True when every project is in step with
/// its art; false after the message, no file changed. Its messages go to
/// `reporter`. What it made again is in `report.made`.
bool SyncProjects(const SyncOptions& options, CSyncReport& report,
                  const CKitReporter& reporter = CKitReporter());

/// The sync job: 0 or 1, as SyncProjects, telling on standard output what
/// it made again.
int RunSync(const SyncOptions& options);
