#include "anime/timeline.h"

#include <algorithm>
#include <limits>

#include "anime/anime_file.h"

namespace {

// The frames the last view stays on view: the length less its start,
// negative when that lies beyond the end. A length near the lowest integer
// would wrap round to a huge positive count; it stops at the lowest integer
// instead, so a negative count never turns positive.
// (30, 10) -> 20; (30, 40) -> -10; (-2147483648, 10) -> -2147483648.
int32_t LastFrameCount(int32_t frameLength, int32_t start) {
  const int64_t frames = static_cast<int64_t>(frameLength) - start;
  return static_cast<int32_t>(std::max<int64_t>(frames, std::numeric_limits<int32_t>::min()));
}

}  // namespace

CTimeline ReadTimeline(const CAnimeFile& anime, int32_t frameLength, int32_t keyCount) {
  CTimeline timeline;
  timeline.frameLength = frameLength;
  // Each view needs a key of its own: FRAME_KEY may promise far more.
  const int settingsKeys = anime.GetSettings() ? anime.GetSettings()->GetKeyCount() : 0;
  timeline.views.reserve(static_cast<size_t>(std::clamp(keyCount, 0, settingsKeys)));
  for (int32_t i = 0; i < keyCount; ++i) {
    CView view;
    view.key.index = i;
    // An unreadable key frame ends the sequence: the ones before it are all.
    if (!anime.GetFrameKey(i, view.key.frame, view.key.project, view.key.picture)) break;
    timeline.views.push_back(std::move(view));
  }

  // Each view but the first starts at its key frame, and the one before it
  // lasts until then. Starts never decrease, so every start is at least 0
  // and every difference fits.
  int32_t start = 0;
  for (size_t k = 1; k < timeline.views.size(); ++k) {
    const int32_t next = timeline.views[k].key.frame;
    if (next < start) {
      timeline.outOfOrder = k;
      return timeline;
    }
    timeline.views[k - 1].frames = next - start;
    start = next;
  }
  timeline.outOfOrder = timeline.views.size();
  if (!timeline.views.empty()) timeline.views.back().frames = LastFrameCount(frameLength, start);
  return timeline;
}

size_t CTimeline::ViewAt(int64_t frame) const {
  if (outOfOrder != views.size()) return views.size();
  int64_t cycle = 0;
  for (const CView& view : views) cycle += std::max(view.frames, 0);
  if (cycle == 0 || frame < 0) return views.size();
  frame %= cycle;
  for (size_t k = 0; k < views.size(); ++k) {
    frame -= std::max(views[k].frames, 0);
    if (frame < 0) return k;
  }
  return views.size();
}
