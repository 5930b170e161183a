#include "kit/pictures/sheet_timing.h"

#include <limits>

namespace {

// Past this many milliseconds any frame rate gives more frames than
// FRAME_LENGTH holds (at 1 fps, 4.4 billion), so the sum stops there: the
// whole sheet's animation has no limit of plays, and the sum must not wrap.
constexpr uint64_t kStopSumming = uint64_t{1} << 42;

// round(milliseconds * fps / 1000), halves up. Milliseconds stay below
// kStopSumming plus one duration, so the product stays below 2^52.
uint64_t FramesAt(uint64_t milliseconds, int32_t fps) {
  return (milliseconds * static_cast<uint64_t>(fps) + 500) / 1000;
}

}  // namespace

bool TimeSheetAnimation(const CSheetDescription& sheet, const std::vector<uint32_t>& plays,
                        int32_t fps, CSheetTiming& timing, std::string& message) {
  timing = CSheetTiming();
  if (fps < kMinSheetFps || fps > kMaxSheetFps) {
    message = "a frame rate of " + std::to_string(fps) + " is outside " +
              std::to_string(kMinSheetFps) + " to " + std::to_string(kMaxSheetFps);
    return false;
  }
  constexpr uint64_t kMaxLength = std::numeric_limits<int32_t>::max();
  uint64_t elapsed = 0;
  std::vector<uint64_t> starts;
  starts.reserve(plays.size());
  for (const uint32_t frame : plays) {
    starts.push_back(FramesAt(elapsed, fps));
    elapsed += sheet.frames[frame].duration;
    if (elapsed > kStopSumming) break;
  }
  const uint64_t length = FramesAt(elapsed, fps);
  if (length > kMaxLength) {
    message = "lasts more than the " + std::to_string(kMaxLength) +
              " frames FRAME_LENGTH holds at " + std::to_string(fps) + " fps";
    return false;
  }
  if (length == 0) {
    message = "lasts " + std::to_string(elapsed) + " ms, less than half a frame at " +
              std::to_string(fps) + " fps";
    return false;
  }
  timing.frameLength = static_cast<int32_t>(length);
  for (size_t at = 0; at < plays.size(); ++at) {
    const uint64_t next = at + 1 < plays.size() ? starts[at + 1] : length;
    if (starts[at] == next) {
      timing.skipped.push_back(plays[at]);
      continue;
    }
    timing.keys.push_back({static_cast<int32_t>(starts[at]), plays[at]});
  }
  return true;
}

std::string SkippedFrameText(const CSheetFrame& frame, int32_t fps) {
  return "frame \"" + frame.name + "\" (" + std::to_string(frame.duration) +
         " ms) gets no key frame of its own at " + std::to_string(fps) + " fps and is not shown";
}
