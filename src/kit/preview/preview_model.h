// The preview's model of an animation: what the C that flipdeck writes for
// it shows, frame by frame and camera position by camera position. It is
// read through flipdeck's own timeline, camera grid, picture projects, file
// search and loaders, and it stops where flipdeck stops, in flipdeck's
// order, so a preview exists exactly for the animations flipdeck converts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kit/common/picture_png.h"

class CAnimeFile;

/// One distinct picture: a TMF image shown through a TLF palette. However
/// many keys show it, it is loaded and encoded once.
struct CPreviewPicture {
  std::string tmfPath;  // full paths, as the search found them
  std::string tlfPath;
  /// The pixels the C array holds: all of them up to 512 KiB, else the
  /// picture's bottom rows that fit; 0 by 0 for an image without pixels.
  uint32_t width = 0;
  uint32_t height = 0;
  int32_t declaredHeight = 0;  // the rows the image says it has
  int32_t bits = 0;
  /// Those pixels as a PNG data URI; empty for an image without pixels.
  std::string dataUri;
  /// Its pixels, kept only when they are asked for (the GIF needs them).
  CPicturePixels pixels;
};

/// One key of the animation resolved to its picture.
struct CPreviewShow {
  std::string key;  // "FRAME_KEY2", "CAM.1.0"
  int32_t project = 0;
  std::string tpfPath;  // as TPF.<project>.FILE gives it
  std::string name;     // the picture's name in its project
  int32_t param = 0;
  size_t picture = 0;  // in CPreview::pictures
};

/// One step of a pass: a view of one frame or more, in play order.
struct CPreviewStep {
  CPreviewShow show;
  int32_t keyFrame = 0;  // the frame its key frame names
  int64_t first = 0;     // its first frame in the pass
  int64_t frames = 0;
};

/// A view the player passes over: its key frame shows for no frame.
struct CPreviewSkip {
  std::string key;
  int64_t frames = 0;  // 0 or fewer
};

/// A filled camera position.
struct CPreviewCell {
  int32_t x = 0;
  int32_t y = 0;
  CPreviewShow show;
};

struct CPreview {
  bool sequence = false;  // FRAME_ANIM is on
  int32_t frameLength = 0;
  /// The views of one frame or more, each starting where the one before
  /// it ends; the player shows them in turn and then starts again.
  std::vector<CPreviewStep> steps;
  std::vector<CPreviewSkip> skipped;
  /// The frames of one pass: the steps' frames together. It exceeds
  /// FRAME_LENGTH when the last key frame lies beyond it; 0 when no view
  /// shows a frame.
  int64_t cycle = 0;

  bool grid = false;  // CAM_ANIM is on
  int32_t columns = 0;
  int32_t rows = 0;
  std::vector<CPreviewCell> cells;  // row by row

  std::vector<CPreviewPicture> pictures;
};

/// Reads `anime` (loaded from `tafPath`, the name messages give it) as
/// flipdeck converts it, from the working directory flipdeck would run in.
/// `keepPixels` keeps every picture's pixels beside its PNG. False after a
/// message naming the file and the problem at which flipdeck stops: a
/// missing count key, a key frame without a project, project or picture,
/// an image or palette that cannot be found or loaded, key frames that go
/// back, an unreadable camera key or one outside the grid. A view of no
/// frame, a sequence cut short by an unreadable key frame, a picture
/// larger than its C array, one without pixels and pixels whose index
/// lies past their palette are warnings.
/// Key frames 0 and 10 of FRAME_LENGTH 30 -> steps {first 0, 10 frames},
/// {first 10, 20 frames}, cycle 30.
bool ReadPreview(const CAnimeFile& anime, const std::string& tafPath, bool keepPixels,
                 CPreview& preview);
