// How long each frame of an animated GIF shows: the views of an animation,
// each shown for a whole number of animation frames at `fps`, become GIF
// frames whose delays are whole hundredths of a second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// The shortest delay a GIF frame gets, in hundredths: browsers show 0 and 1
/// as a tenth of a second, so a view that short would slow the animation.
inline constexpr int64_t kMinGifDelay = 2;

/// One GIF frame: the view whose picture it shows and for how long.
struct CGifFrameTime {
  size_t view = 0;
  int64_t delay = 0;  // hundredths of a second
  bool operator==(const CGifFrameTime&) const = default;
};

/// A view too short for a frame of its own, and the view whose frame took its time.
struct CMergedView {
  size_t view = 0;
  size_t into = 0;
  bool operator==(const CMergedView&) const = default;
};

struct CGifTiming {
  std::vector<CGifFrameTime> frames;
  std::vector<CMergedView> merged;  // in view order
};

/// The GIF frames of views shown for `frameCounts[k]` animation frames each,
/// in order, at `fps` frames a second. View k ends at
/// round(100 × (frames of views 0..k) / fps) hundredths (halves round up),
/// and its delay is that end minus the previous view's end, so rounding is
/// carried forward and the delays add up to the animation's length to the
/// hundredth. A view whose delay would be below kMinGifDelay is merged into
/// the previous view's frame, or, with no frame before it, into the next
/// view's. When the whole animation is shorter than kMinGifDelay it becomes
/// one frame of the last view lasting kMinGifDelay: the only case whose
/// total is not exact.
/// 60 fps, counts {1, 1, 1} -> ends 2, 3, 5 -> frames {view 0, 3}, {view 2, 2};
/// view 1 merged into view 0.
/// False with the reason in `message` for no views, a count or fps below 1,
/// or an animation whose length in hundredths does not fit in 64 bits.
bool MakeGifTiming(std::span<const int64_t> frameCounts, int64_t fps, CGifTiming& timing,
                   std::string& message);
