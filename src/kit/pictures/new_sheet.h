// flipdeck-kit new from a sprite sheet: the sheet's JSON (--sheet), or a
// plain sheet PNG cut into equal cells (--grid), becomes a project that
// flipdeck converts at once. Frames that are alike after the reduction to
// palette entries share one picture; all pictures share one palette,
// NAME.tlf; NAME.taf plays every frame in sheet order, and each tag gives
// NAME-TAG.taf, all of them over one project, NAME.tpf. The opening
// comment of each project file names the sheet by its path relative to it,
// so that the same sheet in the same place always gives the same bytes.
#pragma once

#include "kit/pictures/new.h"

/// The new job for `options.sheet`, or for `options.grid` over the one PNG
/// `options.pictures` names, its frames timed at `options.fps`. Tells what
/// it made on standard output: the frames, pictures and colours, each
/// animation, and what of the sheet it left out. 0 when every file was
/// written, 1 after the messages of a job that changed no file.
int RunNewSheet(const NewOptions& options);
