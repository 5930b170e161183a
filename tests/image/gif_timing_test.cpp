#include "image/gif_timing.h"

#include <gtest/gtest.h>

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

}  // namespace
