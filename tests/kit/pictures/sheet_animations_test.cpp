#include <gtest/gtest.h>

#include <cstdlib>

#include "kit/pictures/sheet_animations.h"
#include "kit/pictures/sheet_timing.h"

namespace {

using Plays = std::vector<uint32_t>;

CSheetTag Tag(const std::string& name, uint32_t from, uint32_t to, TagDirection direction,
              uint32_t repeat = 0) {
  return {name, "meta.frameTags[?]", from, to, direction, repeat};
}

// A sheet of frames lasting `durations` milliseconds.
CSheetDescription Sheet(const std::vector<uint32_t>& durations) {
  CSheetDescription sheet;
  for (size_t at = 0; at < durations.size(); ++at) {
    CSheetFrame frame;
    frame.name = "walk " + std::to_string(at);
    frame.duration = durations[at];
    sheet.frames.push_back(frame);
  }
  return sheet;
}

TEST(SheetAnimations, EachDirectionPlaysItsOrderAndRepeatsPlayThePassAgain) {
  using enum TagDirection;
  EXPECT_EQ(TagPlays(Tag("a", 2, 4, kForward)), (Plays{2, 3, 4}));
  EXPECT_EQ(TagPlays(Tag("a", 2, 4, kReverse)), (Plays{4, 3, 2}));
  EXPECT_EQ(TagPlays(Tag("a", 2, 5, kPingPong)), (Plays{2, 3, 4, 5, 4, 3}));
  EXPECT_EQ(TagPlays(Tag("a", 2, 5, kPingPongReverse)), (Plays{5, 4, 3, 2, 3, 4}));
  // A ping-pong over one or two frames has no frames between its ends;
  // over three, one.
  EXPECT_EQ(TagPlays(Tag("a", 3, 3, kPingPong)), (Plays{3}));
  EXPECT_EQ(TagPlays(Tag("a", 3, 5, kPingPong)), (Plays{3, 4, 5, 4}));
  EXPECT_EQ(TagPlays(Tag("a", 3, 4, kPingPongReverse)), (Plays{4, 3}));
  EXPECT_EQ(TagPlays(Tag("a", 0, 1, kReverse, 3)), (Plays{1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(TagPlays(Tag("a", 0, 1, kForward, 1)), (Plays{0, 1}));
  EXPECT_EQ(TagPlayCount(Tag("a", 2, 5, kPingPong, 4)), 24u);

  // The whole sheet plays first, each frame once.
  CSheetDescription sheet = Sheet({10, 10, 10});
  sheet.tags = {Tag("hop", 1, 2, kReverse)};
  const std::vector<CSheetAnimation> animations = SheetAnimations(sheet);
  ASSERT_EQ(animations.size(), 2u);
  EXPECT_EQ(animations[0].plays, (Plays{0, 1, 2}));
  EXPECT_EQ(animations[1].plays, (Plays{2, 1}));
}

TEST(SheetAnimations, TagNamesBecomeFileNamesEverySystemTakesAndMayNotMeetAgain) {
  EXPECT_EQ(TagFileName("walk", "run: fast?"), "walk-run__fast_.taf");
  EXPECT_EQ(TagFileName("walk", "<a>\"b/c\\d|e*\x01"), "walk-_a__b_c_d_e__.taf");
  EXPECT_EQ(TagFileName("walk", "Jump.2+x-y_z"), "walk-Jump.2+x-y_z.taf");
  EXPECT_EQ(TagFileName("walk", "s\xc3\xa9\xe8\xb7\xb3"), "walk-s__.taf");  // é, 跳: one '_' each

  // Names apart in case alone meet in the kit's table of failed jobs.
  CSheetDescription sheet = Sheet({10, 10});
  sheet.source = "walk.json";
  sheet.tags = {Tag("idle", 0, 0, TagDirection::kForward), Tag("h*p", 0, 1, TagDirection::kForward),
                Tag("hop", 1, 1, TagDirection::kForward), Tag("h?p", 1, 1, TagDirection::kForward)};
  sheet.tags[3].label = "meta.frameTags[3]";
  std::vector<std::string> names;
  CSheetFailure failure;
  EXPECT_FALSE(TagFileNames(sheet, "walk", names, failure));
  EXPECT_EQ(failure.file, "walk.json");
  EXPECT_EQ(failure.what,
            "meta.frameTags[?] \"h*p\" and meta.frameTags[3] \"h?p\" both make "
            "walk-h_p.taf");
  sheet.tags[3].name = std::string(247, 'x');  // "walk-" + 247 + ".taf": 256 bytes
  EXPECT_FALSE(TagFileNames(sheet, "walk", names, failure));
  EXPECT_TRUE(failure.what.ends_with(
      "\" makes a file name of 256 bytes, more than the 255 file systems take"));
  sheet.tags[3].name = "fall";
  ASSERT_TRUE(TagFileNames(sheet, "walk", names, failure));
  EXPECT_EQ(names, (std::vector<std::string>{"walk-idle.taf", "walk-h_p.taf", "walk-hop.taf",
                                             "walk-fall.taf"}));
}

// Each start is rounded from the exact time the frames before it take, so
// rounding never adds up: 16 and 17 ms frames at 60 fps, where each alone
// rounds to one frame, still give a loop as long as the artist's.
TEST(SheetTiming, StartsRoundFromTheExactTimeSoTheLoopKeepsItsLength) {
  CSheetTiming timing;
  std::string message;
  const CSheetDescription mixed = Sheet({16, 17, 17, 33, 16, 17, 33, 25, 25});
  const Plays plays = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(TimeSheetAnimation(mixed, plays, 60, timing, message)) << message;
  // Times 0 16 33 50 83 99 116 149 174, total 199 ms: at 60 fps 0 0.96 1.98
  // 3 4.98 5.94 6.96 8.94 10.44, and 11.94 frames.
  const std::vector<CTimedKey> expected = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 4},
                                           {6, 5}, {7, 6}, {9, 7}, {10, 8}};
  EXPECT_EQ(timing.keys, expected);
  EXPECT_EQ(timing.frameLength, 12);
  EXPECT_TRUE(timing.skipped.empty());

  // Halves round up: 25 ms at 60 fps is 1.5 frames.
  ASSERT_TRUE(TimeSheetAnimation(Sheet({25, 25}), {0, 1}, 60, timing, message));
  EXPECT_EQ(timing.keys, (std::vector<CTimedKey>{{0, 0}, {2, 1}}));
  EXPECT_EQ(timing.frameLength, 3);

  // Whatever the durations and rate, no start and no loop is more than half
  // a frame off: |start * 1000 - elapsed * fps| <= 500.
  for (const int32_t fps : {1, 24, 30, 60, 144, 1000}) {
    const CSheetDescription sheet = Sheet({16, 17, 33, 1, 999, 7, 50, 16, 16, 16, 83});
    Plays all(sheet.frames.size());
    for (uint32_t at = 0; at < all.size(); ++at) all[at] = at;
    ASSERT_TRUE(TimeSheetAnimation(sheet, all, fps, timing, message)) << fps;
    int64_t elapsed = 0;
    size_t key = 0;
    for (const uint32_t frame : all) {
      if (key < timing.keys.size() && timing.keys[key].frame == frame) {
        EXPECT_LE(std::llabs(timing.keys[key++].start * 1000LL - elapsed * fps), 500) << fps;
      }
      elapsed += sheet.frames[frame].duration;
    }
    EXPECT_LE(std::llabs(timing.frameLength * 1000LL - elapsed * fps), 500) << fps;
    EXPECT_EQ(timing.keys.size() + timing.skipped.size(), all.size());
  }
}

TEST(SheetTiming, AFrameWithoutAKeyFrameOfItsOwnIsSkippedAndNamed) {
  const CSheetDescription sheet = Sheet({100, 5, 100, 2});
  CSheetTiming timing;
  std::string message;
  // Starts at 0, 6, 6.3 and 12.3 frames, the loop's end at 12.42: the 5 ms
  // frame starts where the next one does, the 2 ms one where the loop ends.
  ASSERT_TRUE(TimeSheetAnimation(sheet, {0, 1, 2, 3}, 60, timing, message));
  EXPECT_EQ(timing.keys, (std::vector<CTimedKey>{{0, 0}, {6, 2}}));
  EXPECT_EQ(timing.skipped, (Plays{1, 3}));
  EXPECT_EQ(timing.frameLength, 12);
  EXPECT_EQ(SkippedFrameText(sheet.frames[1], 60),
            "frame \"walk 1\" (5 ms) gets no key frame of its own at 60 fps and is not shown");
  // A first frame too short for a key frame leaves frame 0 to the next one.
  ASSERT_TRUE(TimeSheetAnimation(sheet, {1, 0}, 60, timing, message));
  EXPECT_EQ(timing.keys, (std::vector<CTimedKey>{{0, 0}}));
  EXPECT_EQ(timing.skipped, (Plays{1}));
}

TEST(SheetTiming, ALoopOfNoFrameOrPastFrameLengthAndRatesOutOfRangeFail) {
  CSheetTiming timing;
  std::string message;
  EXPECT_FALSE(TimeSheetAnimation(Sheet({5, 3}), {0, 1}, 60, timing, message));
  EXPECT_EQ(message, "lasts 8 ms, less than half a frame at 60 fps");
  // Three frames of 24.8 days at 1000 fps: over 2^31 frames.
  const CSheetDescription longest = Sheet({kMaxFrameDuration});
  EXPECT_FALSE(TimeSheetAnimation(longest, {0, 0, 0}, 1000, timing, message));
  EXPECT_EQ(message, "lasts more than the 2147483647 frames FRAME_LENGTH holds at 1000 fps");
  EXPECT_TRUE(timing.keys.empty());
  ASSERT_TRUE(TimeSheetAnimation(longest, {0}, 1000, timing, message));
  EXPECT_EQ(timing.frameLength, 2147483647);
  EXPECT_FALSE(TimeSheetAnimation(longest, {0}, 0, timing, message));
  EXPECT_EQ(message, "a frame rate of 0 is outside 1 to 1000");
  EXPECT_FALSE(TimeSheetAnimation(longest, {0}, 1001, timing, message));
}

}  // namespace
