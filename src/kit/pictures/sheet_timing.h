// When each frame of a sheet animation starts, in the target's frames, from
// the artist's durations in milliseconds. The frame that follows frames
// lasting T milliseconds starts at round(T * fps / 1000), and FRAME_LENGTH
// is round(total * fps / 1000), halves rounding up. Rounding each start
// from the exact time, rather than each duration on its own, carries it
// forward: no start and not the loop is ever more than half a frame off the
// artist's timing, whatever the durations. Exact integer arithmetic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kit/pictures/sheet_description.h"

/// The frame rates a sheet animation may be timed at.
inline constexpr int32_t kMinSheetFps = 1;
inline constexpr int32_t kMaxSheetFps = 1000;

/// A key frame: from `start` on, sheet frame `frame` is on view.
struct CTimedKey {
  int32_t start = 0;
  uint32_t frame = 0;
  bool operator==(const CTimedKey&) const = default;
};

struct CSheetTiming {
  int32_t frameLength = 0;
  /// Starts rise strictly from 0, all below frameLength.
  std::vector<CTimedKey> keys;
  /// The sheet frames, one per play, that get no key frame of their own:
  /// their start rounds to the next one's. They are not shown.
  std::vector<uint32_t> skipped;
};

/// Times `plays` (sheet frame indices, as CSheetAnimation gives them) at
/// `fps`. 16, 17 and 17 ms at 60 fps: keys at 0, 1, 2, FRAME_LENGTH 3;
/// 100, 5 and 100 ms: keys at 0 and 6, the 5 ms frame skipped, 12.
/// False with the reason in `message` when `fps` lies outside kMinSheetFps
/// to kMaxSheetFps, or the loop rounds to no frame at all or to more than
/// FRAME_LENGTH can hold.
bool TimeSheetAnimation(const CSheetDescription& sheet, const std::vector<uint32_t>& plays,
                        int32_t fps, CSheetTiming& timing, std::string& message);

/// The warning for a skipped frame; the animation is the file it is shown
/// against: `frame "walk 3" (5 ms) gets no key frame of its own at 60 fps
/// and is not shown`.
std::string SkippedFrameText(const CSheetFrame& frame, int32_t fps);
