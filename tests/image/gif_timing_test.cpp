#include "image/gif_timing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

#include "support/test_support.h"

namespace {

// The timing of a row of gif_timing.table, written as the table writes it.
std::string Timing(const std::string& row) {
  std::istringstream fields(row);
  int64_t fps = 0;
  fields >> fps;
  fields.ignore(1);  // the colon
  std::vector<int64_t> counts;
  for (int64_t count = 0; fields >> count;) counts.push_back(count);
  CGifTiming timing;
  std::string text;
  if (!MakeGifTiming(counts, fps, timing, text)) return text;
  for (const CGifFrameTime& frame : timing.frames)
    text += std::to_string(frame.view) + ":" + std::to_string(frame.delay) + " ";
  text += "|";
  for (const CMergedView& merged : timing.merged)
    text += " " + std::to_string(merged.view) + ">" + std::to_string(merged.into);
  return text;
}

TEST(GifTiming, DelaysCarryTheRoundingAndShortViewsMerge) {
  for (const auto& row : testing_support::ReadTable("image/gif_timing.table"))
    EXPECT_EQ(Timing(row.input), row.expected) << row.where;
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
