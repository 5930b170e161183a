#include "image/gif_timing.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

struct TimingCase {
  int64_t fps;
  std::vector<int64_t> counts;
  std::vector<CGifFrameTime> frames;
  std::vector<CMergedView> merged;
};

TEST(GifTiming, DelaysCarryTheRoundingAndShortViewsMerge) {
  const TimingCase cases[] = {
      // Ends 2, 3, 5, 7, 8, 10: views 1 and 4 last one hundredth.
      {60, {1, 1, 1, 1, 1, 1}, {{0, 3}, {2, 2}, {3, 3}, {5, 2}}, {{1, 0}, {4, 3}}},
      {24, {1, 2, 3}, {{0, 4}, {1, 9}, {2, 12}}, {}},  // ends 4.17, 12.5 (up), 25
      // The first view has no frame before it and goes into the next.
      {100, {1, 3}, {{1, 4}}, {{0, 1}}},
      {100, {1, 1, 1}, {{1, 3}}, {{0, 1}, {2, 1}}},
      {1000, {5, 5, 5}, {{2, 2}}, {{0, 2}, {1, 2}}},
      {100, {1}, {{0, 2}}, {}},  // shorter than any frame: one of the least delay
      // Huge numbers: no product overflows on the way to an exact total.
      {1, {int64_t{1} << 40, 1}, {{0, int64_t{100} << 40}, {1, 100}}, {}},
      {kMax, {kMax - 1, 1}, {{0, 100}}, {{1, 0}}},
      {kMax - 1, {kMax / 2, kMax / 2}, {{0, 50}, {1, 50}}, {}},
  };
  for (const TimingCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fps << " fps, " << c.counts.size() << " views");
    CGifTiming timing;
    std::string message;
    ASSERT_TRUE(MakeGifTiming(c.counts, c.fps, timing, message)) << message;
    EXPECT_EQ(timing.frames, c.frames);
    EXPECT_EQ(timing.merged, c.merged);
  }
  const std::tuple<std::vector<int64_t>, int64_t, std::string> refused[] = {
      {{}, 24, "no views to show"},
      {{3, 0}, 24, "view 1 lasts 0 frames (at least 1 allowed)"},
      {{3}, 0, "frame rate 0 (at least 1 allowed)"},
      {{kMax, 1}, kMax, "animation too long for a GIF"},
  };
  for (const auto& [counts, fps, reason] : refused) {
    CGifTiming timing;
    std::string message;
    EXPECT_FALSE(MakeGifTiming(counts, fps, timing, message));
    EXPECT_EQ(message, reason);
  }
}

// Whatever the counts, the delays add up to the animation's length rounded
// to the hundredth, no frame is shorter than the least delay, and every
// view is either shown or named as merged.
TEST(GifTiming, TotalsAreExactForEveryRate) {
  for (const int64_t fps : {1, 7, 12, 24, 25, 30, 50, 60, 120, 1000}) {
    std::vector<int64_t> counts;
    for (int64_t k = 0; k < 40; ++k) counts.push_back(1 + (k * k * 7) % 5);
    CGifTiming timing;
    std::string message;
    ASSERT_TRUE(MakeGifTiming(counts, fps, timing, message)) << message;
    int64_t total = 0;
    for (const CGifFrameTime& frame : timing.frames) {
      EXPECT_GE(frame.delay, kMinGifDelay) << fps;
      total += frame.delay;
    }
    const int64_t frames = std::accumulate(counts.begin(), counts.end(), int64_t{0});
    EXPECT_EQ(total, (200 * frames + fps) / (2 * fps)) << fps;
    EXPECT_EQ(timing.frames.size() + timing.merged.size(), counts.size()) << fps;
  }
}

}  // namespace
