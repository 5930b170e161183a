#include "image/png_writer.h"

#include <gtest/gtest.h>

#include "image/png_reader.h"
#include "png_test_file.h"

namespace {

struct IndexedPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> indices;
  std::vector<Rgba8> palette;
  CIndexedImageView View() const { return {width, height, indices, palette}; }
};

// `alphas` are given to the first entries; the rest of the palette is opaque.
IndexedPicture MakePicture(uint32_t width, uint32_t height, size_t colours,
                           const std::vector<uint8_t>& alphas) {
  IndexedPicture picture{width, height, {}, {}};
  for (size_t i = 0; i < size_t{width} * height; ++i)
    picture.indices.push_back(static_cast<uint8_t>((i * 7 + i / width) % colours));
  for (size_t i = 0; i < colours; ++i)
    picture.palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3),
                               static_cast<uint8_t>(255 - i), i < alphas.size() ? alphas[i] : uint8_t{255}});
  return picture;
}

TEST(WriteIndexedPng, PicturesReadBackWithTheSameIndicesAndPalette) {
  for (const int depth : {4, 8}) {
    for (const uint32_t width : {1u, 7u, 13u, 64u}) {
      for (const bool transparent : {false, true}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth << " width " << width << " "
                                        << transparent);
        const size_t colours = depth == 4 ? 16 : 200;
        // Entry 2 only is transparent: the trailing opaque alphas are left out.
        const std::vector<uint8_t> alphas = transparent ? std::vector<uint8_t>{255, 255, 0}
                                                        : std::vector<uint8_t>{};
        const IndexedPicture picture = MakePicture(width, 5, colours, alphas);
        std::vector<uint8_t> png;
        std::string message;
        ASSERT_TRUE(WriteIndexedPng(picture.View(), depth, png, message)) << message;
        std::vector<std::string> chunks = ListChunks(png);
        ASSERT_GE(chunks.size(), 4u);
        EXPECT_EQ(chunks.back(), "IEND:0");
        EXPECT_EQ(chunks[chunks.size() - 2].substr(0, 5), "IDAT:");
        chunks.resize(chunks.size() - 2);
        std::vector<std::string> expected = {"IHDR:13", "PLTE:" + std::to_string(colours * 3)};
        if (transparent) expected.push_back("tRNS:3");
        EXPECT_EQ(chunks, expected);
        EXPECT_EQ(png[24], depth);
        CPngPicture back;
        ASSERT_TRUE(ReadPng(png, back, message)) << message;
        EXPECT_TRUE(back.indexed && back.width == width && back.height == 5);
        EXPECT_EQ(back.indices, picture.indices);
        EXPECT_EQ(back.palette, picture.palette);
        std::vector<uint8_t> again;
        ASSERT_TRUE(WriteIndexedPng(picture.View(), depth, again, message));
        EXPECT_EQ(again, png);
      }
    }
  }
}

TEST(WriteIndexedPng, MalformedPicturesAreRefusedWithAReason) {
  const IndexedPicture picture = MakePicture(4, 2, 16, {});
  IndexedPicture outside = picture;
  outside.indices[5] = 16;
  const std::vector<Rgba8> wide(17);
  const std::tuple<CIndexedImageView, int, std::string> cases[] = {
      {picture.View(), 2, "bit depth 2 (4 or 8 allowed)"},
      {{4, 2, picture.indices, wide}, 4, "palette of 17 entries (1 to 16 allowed)"},
      {{4, 2, picture.indices, {}}, 8, "palette of 0 entries (1 to 256 allowed)"},
      {outside.View(), 8, "index 16 beyond a palette of 16 entries"},
      {{4, 3, picture.indices, picture.palette}, 8, "picture has 8 indices for 12 pixels"},
      {{0, 2, {}, picture.palette}, 8, "empty picture"},
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
