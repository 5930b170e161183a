// flipdeck-kit new: a project that flipdeck converts at once, from PNG
// pictures. It imports the pictures (into one shared palette NAME.tlf when
// they fit one, else a palette each) and writes NAME.tpf, listing them, and
// NAME.taf, showing them in the order given for their numbers of frames; a
// picture given twice is imported and listed once and shown twice.
// A sprite sheet makes a project too (new_sheet.h).
// flipdeck reads the project path of the TAF from its working directory,
// so it converts the project from the directory it was written to:
//   flipdeck -oNAME.c -eNAME.h NAME.taf
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kit/common/diagnostics.h"
#include "kit/pictures/sheet_grid.h"

struct NewOptions {
  std::string name;
  std::vector<std::string> pictures;         // with `grid`, the one sheet PNG
  std::string frames = "10";                 // "N" for every picture, or "N1,N2,..." one each
  std::string outDir;                        // the working directory when empty
  bool force = false;                        // replace files that exist
  std::string sheet;                         // a sheet's JSON, instead of pictures
  std::string grid;                          // "WxH": the sheet PNG cut into cells of W x H
  uint32_t duration = kDefaultCellDuration;  // with `grid`: each cell's milliseconds
  int32_t fps = 60;  // a sheet's frames are timed at the target's frame rate
};

/// The new job: 0 when every file was written, 1 after the messages of a
/// job that changed no file.
int RunNew(const NewOptions& options);

/// Where new writes the file `name`: in the out-dir, or the working
/// directory. ("walk.taf", out-dir "anim") -> "anim/walk.taf".
std::string NewTarget(const NewOptions& options, const std::string& name);

/// `path` relative to the folder the project goes to, '/' between names:
/// how the project's files name its art. ("art/walk.png", out-dir "anim")
/// -> "../art/walk.png".
std::string FromProject(const NewOptions& options, const std::string& path);

/// Refuses the text of a project file with a line longer than flipdeck
/// reads as one (511 characters), which only a very long path to the art
/// can make. False after the message naming `target`, to `reporter`.
bool CheckLineLengths(const std::string& target, const std::string& text,
                      const CKitReporter& reporter = CKitReporter());
