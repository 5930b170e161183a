#include <gtest/gtest.h>

#include "kit/pictures/frame_view.h"
#include "kit/pictures/sheet_grid.h"
#include "kit/pictures/sheet_image.h"
#include "kit/pictures/sheet_json.h"
#include "kit/pictures/sheet_pictures.h"
#include "support/png_fixture.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;

constexpr Rgba8 kClear{};
constexpr Rgba8 kGrey{50, 50, 50, 255};
constexpr Rgba8 kRed{255, 0, 0, 255};
constexpr Rgba8 kGreen{0, 255, 0, 255};

CSheetFrame Frame(CSheetRect area, CSheetRect placed, uint32_t canvasWidth, uint32_t canvasHeight,
                  bool rotated = false) {
  return {"f", "frames[?]", area, rotated, placed, canvasWidth, canvasHeight, 100};
}

CSheetFrame Whole(uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
  return Frame({x, y, w, h}, {0, 0, w, h}, w, h);
}

// A packer stores an upright w x h picture turned 90° clockwise, as h
// columns and w rows: its top left pixel goes to the top right.
TEST(SheetPictures, RotatedAndTrimmedFramesComeBackUprightInPlace) {
  const uint32_t w = 2;
  const uint32_t h = 3;
  auto upright = [](uint32_t x, uint32_t y) {
    return Rgba8{static_cast<uint8_t>(10 * x), static_cast<uint8_t>(10 * y), 7, 255};
  };
  std::vector<Rgba8> pixels(8 * 4, kGrey);
  for (uint32_t row = 0; row < w; ++row)
    for (uint32_t column = 0; column < h; ++column)
      pixels[row * 8 + 4 + column] = upright(row, h - 1 - column);
  const CSheetImage image(8, 4, pixels);
  const CSheetFrame frame = Frame({4, 0, w, h}, {1, 1, w, h}, 4, 5, true);
  const std::vector<Rgba8> picture = RenderFrame(CFrameView(image, frame));
  ASSERT_EQ(picture.size(), 4u * 5u);
  for (uint32_t y = 0; y < 5; ++y) {
    for (uint32_t x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && x < 1 + w && y >= 1 && y < 1 + h;
      EXPECT_EQ(picture[y * 4 + x], inside ? upright(x - 1, y - 1) : kClear) << x << "," << y;
    }
  }
}

// Hidden colours under transparency, and colours that reduce to one entry,
// do not tell frames apart; one visible pixel does. A trimmed frame put back
// in place is the frame it came from.
TEST(SheetPictures, FramesAlikeAfterReductionShareAPictureInOrderOfFirstShowing) {
  const Rgba8 nearRed{251, 3, 0, 200};   // the same 5551 entry as red
  const Rgba8 hidden{200, 10, 10, 100};  // 5551 shows it as transparent
  // Three 2 x 2 cells in a row: a, another, and a again as 5551 shows it.
  // Then frames of a trimmed to its left column, and of a's top row alone.
  // clang-format off
  const std::vector<Rgba8> pixels = {
      kRed,   kClear, kGreen, kGreen, nearRed, hidden, kRed,   kClear,  // top row
      kGreen, kClear, kGreen, kClear, kGreen,  kClear, kGreen, kGreen};
  // clang-format on
  const CSheetImage image(8, 2, pixels);
  CSheetDescription sheet;
  sheet.source = "s.json";
  sheet.frames = {Whole(0, 0, 2, 2), Whole(2, 0, 2, 2), Whole(4, 0, 2, 2),
                  Frame({0, 0, 1, 2}, {0, 0, 1, 2}, 2, 2), Whole(0, 0, 2, 1)};
  CSheetPictures pictures;
  CSheetFailure failure;
  ASSERT_TRUE(FindSheetPictures(image, sheet, PaletteType::kRgba5551, pictures, failure));
  EXPECT_EQ(pictures.pictureOfFrame, (std::vector<uint32_t>{0, 1, 0, 0, 2}));
  EXPECT_EQ(pictures.firstFrames, (std::vector<uint32_t>{0, 1, 4}));

  // Intensity/alpha shows alpha 100, so there the hidden grey level counts.
  const CSheetImage greys(2, 1, {{9, 9, 9, 100}, {20, 20, 20, 100}});
  sheet.frames = {Whole(0, 0, 1, 1), Whole(1, 0, 1, 1)};
  ASSERT_TRUE(FindSheetPictures(greys, sheet, PaletteType::kRgba5551, pictures, failure));
  EXPECT_EQ(pictures.firstFrames.size(), 1u);
  ASSERT_TRUE(FindSheetPictures(greys, sheet, PaletteType::kIa16, pictures, failure));
  EXPECT_EQ(pictures.firstFrames.size(), 2u);

  sheet.frames = {Frame({2, 0, 1, 1}, {1, 0, 1, 1}, 2, 1)};
  EXPECT_FALSE(FindSheetPictures(image, sheet, PaletteType::kIa16, pictures, failure));
  EXPECT_EQ(failure.file, "s.json");
  EXPECT_EQ(failure.what,
            "frames[?]: pixel (1, 0) is #00ff00ff, not grey: an intensity/alpha "
            "palette holds greys only");
  EXPECT_TRUE(pictures.pictureOfFrame.empty());
}

TEST(SheetImageLoad, TheImageBesideTheJsonLoadsWhenItIsTheSheetDescribed) {
  // A 4 x 2 RGBA sheet at art/sheet.png, its JSON at art/walk.json.
  ts::TempDir dir;
  std::vector<Rgba8> pixels;
  for (uint8_t at = 0; at < 8; ++at) pixels.push_back({at, 0, 0, 255});
  dir.Write("art/sheet.png", ts::MakeRgbaPng(4, pixels));
  CSheetImage image;
  CSheetFailure failure;
  const auto load = [&](const std::string& meta, int x = 2) {
    const std::string json =
        dir.Write("art/walk.json",
                  R"({"frames": [{"filename": "a", "frame": {"x": )" + std::to_string(x) +
                      R"(, "y": 0, "w": 2, "h": 2}, "duration": 10}], "meta": {)" + meta + "}}");
    CSheetDescription sheet;
    return LoadSheetJson(json, sheet, failure) && LoadSheetImage(sheet, image, failure);
  };
  ASSERT_TRUE(load(R"("image": "sheet.png", "size": {"w": 4, "h": 2})")) << failure.what;
  EXPECT_EQ(image.GetWidth(), 4u);
  EXPECT_EQ(image.At(3, 1), (Rgba8{7, 0, 0, 255}));

  EXPECT_FALSE(load(R"("image": "gone.png")"));
  EXPECT_EQ(failure.file, dir.Path("art/walk.json"));
  EXPECT_EQ(failure.what,
            "meta.image names gone.png, which is missing: " + dir.Path("art/gone.png"));
  EXPECT_FALSE(load(R"("image": "sheet.png", "size": {"w": 4, "h": 3})"));
  EXPECT_EQ(failure.what, "meta.size is 4 x 3, but " + dir.Path("art/sheet.png") + " is 4 x 2");
  EXPECT_EQ(image.GetWidth(), 0u);

  // Without meta.size the frames are checked against the PNG itself.
  EXPECT_FALSE(load(R"("image": "sheet.png")", 3));
  EXPECT_EQ(failure.what, "frames[0]: 2 x 2 at 3, 0 reaches past the 4 x 2 sheet");
  dir.Write("art/text.png", "no picture");
  EXPECT_FALSE(load(R"("image": "text.png")"));
  EXPECT_EQ(failure.file + ": " + failure.what, dir.Path("art/text.png") + ": not a PNG file");

  const std::vector<uint8_t> bytes =
      ts::MakeTestPng({3, 8, false, 2, 1, {0, 2}, {kRed, kGreen}, 0, {}});
  dir.Write("art/indexed.png", std::string(bytes.begin(), bytes.end()));
  EXPECT_FALSE(load(R"("image": "indexed.png")"));
  EXPECT_EQ(failure.what, "pixel (1, 0) has index 2 beyond its palette of 2 entries");
}

TEST(SheetGrid, CellsGoLeftToRightTopToBottomWithoutTrailingEmptyOnes) {
  // Three 2 x 1 cells a row, two rows: cell 1 empty but inside, cells 4 and
  // 5 empty at the end (one hiding a colour under alpha 127).
  std::vector<Rgba8> pixels(6 * 2, kClear);
  pixels[0] = kRed;
  pixels[5] = kGreen;
  pixels[6] = kGreen;
  pixels[11] = {255, 255, 255, 127};
  const CSheetImage image(6, 2, pixels);
  CSheetDescription sheet;
  uint32_t leftOut = 0;
  CSheetFailure failure;
  ASSERT_TRUE(SliceSheetGrid(image, "art/run.png", 2, 1, 40, sheet, leftOut, failure));
  EXPECT_EQ(leftOut, 2u);
  ASSERT_EQ(sheet.frames.size(), 4u);
  EXPECT_EQ(sheet.frames[3].name, "cell 3");
  EXPECT_EQ(sheet.frames[3].frame, (CSheetRect{0, 1, 2, 1}));
  EXPECT_EQ(sheet.frames[2].frame, (CSheetRect{4, 0, 2, 1}));
  EXPECT_EQ(sheet.frames[3].duration, 40u);
  EXPECT_EQ(SheetImagePath(sheet), "art/run.png");

  // A size that is no multiple of the cell's is the failed jobs' table's.
  EXPECT_FALSE(SliceSheetGrid(image, "run.png", 4, 1, 40, sheet, leftOut, failure));
  EXPECT_TRUE(sheet.frames.empty());
  EXPECT_FALSE(SliceSheetGrid(CSheetImage(2, 1, {kClear, {1, 2, 3, 127}}), "run.png", 1, 1, 40,
                              sheet, leftOut, failure));
  EXPECT_EQ(failure.what, "every 1 x 1 cell is transparent");
  EXPECT_FALSE(SliceSheetGrid(image, "run.png", 2, 1, 0, sheet, leftOut, failure));
  EXPECT_EQ(failure.what, "a duration of 0 ms is outside 1 to 2147483647");

  // A cell may be as tall as a TMF image, no taller.
  std::vector<Rgba8> column(65536, kClear);
  column[0] = kRed;
  const CSheetImage tall(1, 65536, column);
  EXPECT_TRUE(SliceSheetGrid(tall, "tall.png", 1, 65536, 40, sheet, leftOut, failure));
  EXPECT_FALSE(SliceSheetGrid(tall, "tall.png", 1, 65537, 40, sheet, leftOut, failure));
  EXPECT_EQ(failure.what,
            "the 1 x 65537 cell is outside 1 x 1 to 65536 a side and 16777216 pixels");
}

}  // namespace
