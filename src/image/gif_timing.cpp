#include "image/gif_timing.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int64_t kMaxInt64 = std::numeric_limits<int64_t>::max();

// round(100 × part / fps) for 0 <= part < fps <= 2^63 - 1, halves up, without
// a wider type: 100 × part would overflow 64 bits for a huge fps. Long
// multiplication of `part` by the bits of 100, keeping the remainder below fps.
int64_t RoundedHundredths(uint64_t part, uint64_t fps) {
  uint64_t quotient = 0;
  uint64_t remainder = 0;
  for (int bit = 6; bit >= 0; --bit) {
    quotient *= 2;
    remainder *= 2;  // below 2^64: remainder < fps < 2^63
    if (remainder >= fps) {
      remainder -= fps;
      ++quotient;
    }
    if (((100 >> bit) & 1) == 0) continue;
    remainder += part;  // below 2^64 for the same reason
    if (remainder >= fps) {
      remainder -= fps;
      ++quotient;
    }
  }
  if (remainder >= fps - remainder) ++quotient;  // 2 × remainder >= fps
  return static_cast<int64_t>(quotient);
}

// When the view that ends after `frames` animation frames ends, in hundredths;
// false when that does not fit in 64 bits.
bool EndOf(int64_t frames, int64_t fps, int64_t& end) {
  const int64_t seconds = frames / fps;
  if (seconds > (kMaxInt64 - 100) / 100) return false;
  end = seconds * 100 +
        RoundedHundredths(static_cast<uint64_t>(frames % fps), static_cast<uint64_t>(fps));
  return true;
}

bool CheckInput(std::span<const int64_t> frameCounts, int64_t fps, std::string& message) {
  if (frameCounts.empty()) {
    message = "no views to show";
    return false;
  }
  if (fps < 1) {
    message = "frame rate " + std::to_string(fps) + " (at least 1 allowed)";
    return false;
  }
  for (size_t k = 0; k < frameCounts.size(); ++k) {
    if (frameCounts[k] >= 1) continue;
    message = "view " + std::to_string(k) + " lasts " + std::to_string(frameCounts[k]) +
              " frames (at least 1 allowed)";
    return false;
  }
  return true;
}

}  // namespace

bool MakeGifTiming(std::span<const int64_t> frameCounts, int64_t fps, CGifTiming& timing,
                   std::string& message) {
  timing = CGifTiming();
  if (!CheckInput(frameCounts, fps, message)) return false;

  int64_t frames = 0;
  int64_t previousEnd = 0;
  // Views with no frame before them wait here for the next one long enough.
  std::vector<size_t> waiting;
  int64_t waitingDelay = 0;
  for (size_t k = 0; k < frameCounts.size(); ++k) {
    int64_t end = 0;
    if (frameCounts[k] > kMaxInt64 - frames || !EndOf(frames + frameCounts[k], fps, end)) {
      timing = CGifTiming();
      message = "animation too long for a GIF";
      return false;
    }
    frames += frameCounts[k];
    const int64_t delay = end - previousEnd;
    previousEnd = end;
    if (delay < kMinGifDelay && !timing.frames.empty()) {
      timing.frames.back().delay += delay;
      timing.merged.push_back({k, timing.frames.back().view});
      continue;
    }
    if (delay + waitingDelay < kMinGifDelay && k + 1 < frameCounts.size()) {
      waiting.push_back(k);
      waitingDelay += delay;
      continue;
    }
    for (const size_t view : waiting) timing.merged.push_back({view, k});
    timing.frames.push_back({k, std::max(delay + waitingDelay, kMinGifDelay)});
    waiting.clear();
    waitingDelay = 0;
  }
  return true;
}
