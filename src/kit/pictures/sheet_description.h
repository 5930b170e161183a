// A sprite sheet as the artist's tools describe it: where each frame lies on
// the sheet PNG, how it sits in its picture, how long it shows, and the
// named runs of frames (tags) that become animations of their own. It comes
// from the JSON a sprite editor or packer writes beside a sheet
// (sheet_json.h) or from slicing a plain sheet into equal cells
// (sheet_grid.h); everything after that reads only this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// The largest side of a frame's picture: what a TMF image holds.
inline constexpr uint32_t kMaxFrameSide = 65536;
/// The largest picture of one frame: 16 Mi pixels, 64 MiB as RGBA, so that
/// a few bytes of JSON cannot ask for gigabytes.
inline constexpr uint64_t kMaxFramePixels = uint64_t{1} << 24;
/// The most pixels all the frames' pictures of one sheet may add up to:
/// each is hashed, and perhaps written, once per frame.
inline constexpr uint64_t kMaxSheetPicturePixels = uint64_t{1} << 30;
/// The longest a frame may show, in milliseconds (24 days).
inline constexpr uint32_t kMaxFrameDuration = 2147483647;
/// The most frames one tag's animation may play in a loop, its repeats
/// counted: each becomes a key frame line of its TAF.
inline constexpr uint64_t kMaxTagPlays = uint64_t{1} << 20;
/// The most frames all the tags of one sheet may play, each loop once: a
/// few lines of JSON must not ask for gigabytes of TAF files.
inline constexpr uint64_t kMaxSheetTagPlays = uint64_t{1} << 22;
/// The largest JSON read: 16 MiB, a hundred thousand frames and more.
inline constexpr uint64_t kMaxSheetJsonBytes = uint64_t{1} << 24;

/// A rectangle in pixels.
struct CSheetRect {
  uint32_t x = 0;
  uint32_t y = 0;
  uint32_t w = 0;
  uint32_t h = 0;
  bool operator==(const CSheetRect&) const = default;
};

/// One frame of the sheet.
struct CSheetFrame {
  /// The frame's own name (its `filename` or key; "cell 3" for a grid).
  std::string name;
  /// How messages name it: the JSON member (`frames[3]`, `frames["walk 3"]`)
  /// or the grid cell.
  std::string label;
  /// The trimmed picture on the sheet: x, y its top left corner; w, h its
  /// upright size. A rotated frame is stored turned 90° clockwise, so it
  /// covers h columns and w rows of the sheet.
  CSheetRect frame;
  bool rotated = false;
  /// Where the trimmed picture goes in the frame's picture (w, h as frame's).
  CSheetRect placed;
  /// The frame's whole picture, transparent around the trimmed one.
  uint32_t canvasWidth = 0;
  uint32_t canvasHeight = 0;
  /// How long the frame shows, in milliseconds: 1 to kMaxFrameDuration.
  uint32_t duration = 0;

  /// The columns and rows the frame covers on the sheet.
  uint32_t SheetWidth() const { return rotated ? frame.h : frame.w; }
  uint32_t SheetHeight() const { return rotated ? frame.w : frame.h; }
};

/// How a tag plays its frames from..to.
enum class TagDirection {
  kForward,         // from .. to
  kReverse,         // to .. from
  kPingPong,        // from .. to, then to-1 down to from+1
  kPingPongReverse  // to .. from, then from+1 up to to-1
};

/// A named run of frames, which becomes an animation of its own.
struct CSheetTag {
  std::string name;
  std::string label;  // `meta.frameTags[2]`
  uint32_t from = 0;  // frame indices, from <= to < frames
  uint32_t to = 0;
  TagDirection direction = TagDirection::kForward;
  /// How many times the pass plays in one loop; 0 counts as 1.
  uint32_t repeat = 0;
};

struct CSheetDescription {
  /// The file the description came from (the JSON, or the plain sheet PNG
  /// of a grid), as messages name it.
  std::string source;
  /// The sheet PNG as the JSON names it, relative to the JSON's directory
  /// (the PNG itself for a grid).
  std::string image;
  /// The sheet's size as the JSON states it; 0 x 0 when it does not.
  uint32_t width = 0;
  uint32_t height = 0;
  /// In file order: the order of the whole sheet's animation.
  std::vector<CSheetFrame> frames;
  std::vector<CSheetTag> tags;
  /// Non-empty `meta.slices` or `meta.layers` were present; nothing uses
  /// them, and the summary says so once.
  bool unusedSlices = false;
  bool unusedLayers = false;
};

/// Why a sheet cannot be used: the file at fault, with a line and column
/// when the JSON cannot be read ("walk.json:3:14"), and what is wrong,
/// starting with the member or frame when there is one
/// ("frames[3].frame.w: is -2, less than 0"). Shown as
/// "flipdeck-kit: error: FILE: what".
struct CSheetFailure {
  std::string file;
  std::string what;
};

/// A size as messages give it: (4, 3) -> "4 x 3".
std::string SizeText(uint64_t width, uint64_t height);

/// Checks that every frame of `sheet` lies on a sheet of `width` x
/// `height` pixels; false with the first frame that reaches past it
/// ("frames[3]: 16 x 16 at 60, 0 reaches past the 64 x 64 sheet"), the
/// failure naming `sheet.source`.
bool CheckFramesOnSheet(const CSheetDescription& sheet, uint32_t width, uint32_t height,
                        CSheetFailure& failure);
