#include "image/png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/png_picture.h"

namespace {

using testing_support::CPngPicture;
using testing_support::ReadPng;

// The length of the chunk named `type`, or -1 when the file has none.
long ChunkLength(const std::vector<uint8_t>& png, const std::string& type) {
  const auto at = std::search(png.begin(), png.end(), type.begin(), type.end());
  if (at == png.end()) return -1;
  return static_cast<long>(at[-4]) << 24 | at[-3] << 16 | at[-2] << 8 | at[-1];
}

TEST(WriteIndexedPng, PicturesReadBackWithTheSameIndicesAndPalette) {
  for (const int depth : {4, 8}) {
    for (const uint32_t width : {1u, 7u, 64u}) {
      for (const bool transparent : {false, true}) {
        SCOPED_TRACE(testing::Message() << depth << " " << width << " " << transparent);
        const size_t colours = depth == 4 ? 16 : 200;
        std::vector<uint8_t> indices;
        for (size_t i = 0; i < width * 5; ++i) indices.push_back((i * 7 + i / width) % colours);
        std::vector<Rgba8> palette;
        for (size_t i = 0; i < colours; ++i)
          palette.push_back({uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 255});
        palette[2].a = transparent ? 0 : 255;  // later opaque alphas are left out of tRNS
        std::vector<uint8_t> png;
        std::string message;
        ASSERT_TRUE(WriteIndexedPng({width, 5, indices, palette}, depth, png, message));
        EXPECT_EQ(png[24], depth);
        EXPECT_EQ(ChunkLength(png, "tRNS"), transparent ? 3 : -1);
        CPngPicture back;
        ASSERT_TRUE(ReadPng(png, back, message)) << message;
        EXPECT_TRUE(back.indexed && back.width == width && back.height == 5);
        EXPECT_EQ(back.indices, indices);
        EXPECT_EQ(back.palette, palette);
        std::vector<uint8_t> again;
        ASSERT_TRUE(WriteIndexedPng({width, 5, indices, palette}, depth, again, message));
        EXPECT_EQ(again, png);
      }
    }
  }
}

TEST(WriteIndexedPng, MalformedPicturesAreRefusedWithAReason) {
  const std::vector<uint8_t> indices = {0, 1, 2, 3, 4, 5, 6, 15};
  const std::vector<uint8_t> outside = {0, 1, 2, 3, 4, 16, 6, 7};
  const std::vector<Rgba8> palette(16);
  const std::vector<Rgba8> wide(17);
  const std::tuple<CIndexedImageView, int, std::string> cases[] = {
      {{4, 2, indices, palette}, 2, "bit depth 2 (4 or 8 allowed)"},
      {{4, 2, indices, wide}, 4, "palette of 17 entries (1 to 16 allowed)"},
      {{4, 2, outside, palette}, 8, "index 16 beyond a palette of 16 entries"},
      {{4, 3, indices, palette}, 8, "picture has 8 indices for 12 pixels"},
      {{0, 2, {}, palette}, 8, "empty picture"},
      {{4, 0, {}, palette}, 8, "empty picture"},
      {{0x80000000u, 1, indices, palette}, 8, "picture larger than 2147483647 pixels a side"},
      {{1, 0x80000000u, indices, palette}, 8, "picture larger than 2147483647 pixels a side"},
  };
  for (const auto& [view, depth, reason] : cases) {
    std::vector<uint8_t> png = {1, 2, 3};
    std::string message;
    EXPECT_FALSE(WriteIndexedPng(view, depth, png, message));
    EXPECT_EQ(message, reason);
    EXPECT_TRUE(png.empty());
  }
}

}  // namespace
