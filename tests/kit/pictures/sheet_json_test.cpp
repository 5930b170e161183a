#include "kit/pictures/sheet_json.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "kit/kit_run.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;

TEST(SheetJson, EachBrokenSheetFailsNamingWhereAndWhatAndGivesNoSheet) {
  for (const ts::TableRow& row : ts::ReadTable("kit/pictures/sheet_json_errors.table")) {
    SCOPED_TRACE(row.where);
    std::string text =
        std::regex_replace(row.input, std::regex("@F@"),
                           R"({"filename":"a","frame":{"x":0,"y":0,"w":4,"h":4},"duration":100})");
    text = std::regex_replace(text, std::regex("@M@"), R"("meta":{"image":"s.png"})");
    CSheetDescription sheet;
    sheet.image = "left from before";
    CSheetFailure failure;
    EXPECT_FALSE(ReadSheetJson(text, "sheet.json", sheet, failure));
    EXPECT_EQ(failure.file + ": " + failure.what, row.expected);
    EXPECT_TRUE(sheet.frames.empty() && sheet.image.empty());
    // new stops at the same fault with the message in the kit's shape, and
    // writes nothing, not even the folder --out-dir would have made.
    ts::TempDir dir;
    dir.Write("sheet.json", text);
    const KitRun run = Kit(dir, "new s --sheet sheet.json --out-dir out");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "flipdeck-kit: error: " + row.expected + "\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

// The array layout (sheets/array_layout.json), a trimmed frame and a
// rotated one, fields the sheet does not use, and the notes about slices
// and layers.
TEST(SheetJson, ArrayLayoutKeepsPlacementRotationAndDurations) {
  const std::string text = ts::TestFile("kit/pictures/sheets/array_layout.json");
  CSheetDescription sheet;
  CSheetFailure failure;
  ASSERT_TRUE(ReadSheetJson(text, "walk.json", sheet, failure)) << failure.what;
  EXPECT_EQ(sheet.image, "art/walk.png");
  EXPECT_EQ(sheet.width, 8u);
  ASSERT_EQ(sheet.frames.size(), 2u);
  const CSheetFrame& rotated = sheet.frames[1];
  EXPECT_EQ(rotated.name, "walk 1.png");
  EXPECT_EQ(rotated.frame, (CSheetRect{4, 0, 2, 3}));
  EXPECT_TRUE(rotated.rotated);
  EXPECT_EQ(rotated.SheetWidth(), 3u);  // turned on the sheet: 3 columns, 2 rows
  EXPECT_EQ(rotated.placed, (CSheetRect{1, 0, 2, 3}));
  EXPECT_EQ(rotated.duration, 16u);
  EXPECT_TRUE(sheet.unusedSlices);
  EXPECT_FALSE(sheet.unusedLayers);  // empty: nothing was left unused
}

// The object layout (sheets/object_layout.json) keeps the file's order, not
// the keys' sorted order; a frame without placement is its whole picture.
// Tags read every direction, and a repeat written as text or as a number.
TEST(SheetJson, ObjectLayoutKeepsFileOrderAndTagsReadEveryForm) {
  const std::string text = ts::TestFile("kit/pictures/sheets/object_layout.json");
  CSheetDescription sheet;
  CSheetFailure failure;
  ASSERT_TRUE(ReadSheetJson(text, "s.json", sheet, failure)) << failure.what;
  ASSERT_EQ(sheet.frames.size(), 3u);
  EXPECT_EQ(sheet.frames[0].name + sheet.frames[1].name + sheet.frames[2].name, "bac");
  EXPECT_EQ(sheet.frames[0].label, R"(frames["b"])");
  EXPECT_EQ(sheet.frames[2].placed, (CSheetRect{0, 0, 3, 2}));
  EXPECT_EQ(sheet.width, 0u);  // no meta.size: the PNG decides
  ASSERT_EQ(sheet.tags.size(), 3u);
  EXPECT_EQ(sheet.tags[0].direction, TagDirection::kForward);
  EXPECT_EQ(sheet.tags[1].direction, TagDirection::kPingPongReverse);
  EXPECT_EQ(sheet.tags[1].repeat, 3u);
  EXPECT_EQ(sheet.tags[2].to, 1u);
  EXPECT_EQ(sheet.tags[2].repeat, 2u);
}

TEST(SheetJson, FramesMayNotAskForMorePicturesThanTheSheetLimit) {
  // 65 frames of 4096 x 4096 pictures pass 2^30 pixels at the last one.
  std::string text = R"({"meta": {"image": "s.png"}, "frames": [)";
  for (int at = 0; at < 65; ++at)
    text += std::string(at ? "," : "") +
            R"({"filename": "f", "frame": {"x": 0, "y": 0, "w": 1, "h": 1}, "duration": 1,)"
            R"( "sourceSize": {"w": 4096, "h": 4096}})";
  text += "]}";
  CSheetDescription sheet;
  CSheetFailure failure;
  EXPECT_FALSE(ReadSheetJson(text, "s.json", sheet, failure));
  EXPECT_EQ(failure.what,
            "frames[64]: brings the pictures of the frames to more than 1073741824 pixels");
}

TEST(SheetJson, LoadNamesAFileThatCannotBeOpened) {
  ts::TempDir dir;
  CSheetDescription sheet;
  CSheetFailure failure;
  EXPECT_FALSE(LoadSheetJson(dir.Path("none.json"), sheet, failure));
  EXPECT_EQ(failure.file, dir.Path("none.json"));
  EXPECT_EQ(failure.what, "cannot be opened");
  EXPECT_FALSE(LoadSheetJson(dir.Write("empty.json", ""), sheet, failure));
  EXPECT_EQ(failure.file, dir.Path("empty.json") + ":1:1");
  std::filesystem::resize_file(dir.Write("huge.json", ""), kMaxSheetJsonBytes + 1);
  EXPECT_FALSE(LoadSheetJson(dir.Path("huge.json"), sheet, failure));
  EXPECT_EQ(failure.what, "holds 16777217 bytes, more than the 16 MiB a sheet's JSON may have");
  // As large as it may be, it is read, and holds no JSON.
  std::filesystem::resize_file(dir.Path("huge.json"), kMaxSheetJsonBytes);
  EXPECT_FALSE(LoadSheetJson(dir.Path("huge.json"), sheet, failure));
  EXPECT_EQ(failure.file, dir.Path("huge.json") + ":1:1");
}

}  // namespace
