// The names under which a run writes its outputs until it has succeeded:
// hidden beside the target, carrying the id of the writing process, so that
// a later run can tell a leftover of a killed run (its writer is gone) from
// the work of a run going on beside it (its writer still runs).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "path/path_style.h"

/// What precedes the file name in `target`: its directory with the
/// separator, a Windows drive, or nothing. POSIX: `out/walk.c` -> `out/`,
/// `walk.c` -> ""; Windows: `C:walk.c` -> `C:`.
std::string_view StagingDirectory(std::string_view target, PathStyle style);

/// The temporary name of `target` for process `processId`, try `attempt`:
/// (`out/walk.c`, 1234, 0) -> `out/.walk.c.flipdeck-1234-0.tmp`. A long
/// file name is cut to its first 128 bytes inside the temporary name, which
/// must fit the 255 bytes of a file name. Empty when `target` has no file
/// name (`out/`).
std::string StagingName(std::string_view target, uint64_t processId, unsigned attempt,
                        PathStyle style);

/// Whether `fileName` (no directory) is a name StagingName gives, and the
/// id of the process that wrote it: `.walk.c.flipdeck-1234-0.tmp` -> 1234;
/// `.walk.c.1234.tmp` and `walk.c.flipdeck-1234-0.tmp` are not.
bool ReadStagingName(std::string_view fileName, uint64_t& processId);
