#include "image/gif_writer.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <tuple>
#include <vector>

namespace {

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using DecodedGif = std::unique_ptr<GifFileType, GifCloser>;

int ReadGifBytes(GifFileType* gif, GifByteType* out, int count) {
  auto* in = static_cast<std::span<const uint8_t>*>(gif->UserData);
  const size_t taken = std::min(static_cast<size_t>(count), in->size());
  std::copy_n(in->data(), taken, out);
  *in = in->subspan(taken);
  return static_cast<int>(taken);
}

// The GIF decoded whole by giflib; null when giflib cannot read it.
DecodedGif Decode(const std::vector<uint8_t>& bytes) {
  std::span<const uint8_t> in(bytes);
  DecodedGif gif(DGifOpen(&in, ReadGifBytes, nullptr));
  if (gif == nullptr || DGifSlurp(gif.get()) != GIF_OK) return nullptr;
  return gif;
}

// The bytes WriteGif hands out at `scale`, appended to `bytes`.
bool WriteGifBytes(std::span<const CGifFrame> frames, std::vector<uint8_t>& bytes,
                   std::string& message, uint32_t scale = 1) {
  return WriteGif(
      frames, scale,
      [&bytes](std::span<const uint8_t> piece) {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        return true;
      },
      message);
}

GraphicsControlBlock ControlOf(const DecodedGif& gif, int frame) {
  GraphicsControlBlock control{};
  EXPECT_EQ(DGifSavedExtensionToGCB(gif.get(), frame, &control), GIF_OK);
  return control;
}

// Red at alpha 128 (opaque), transparent, blue, green at alpha 127
// (transparent): the second transparent entry must come back as the first.
const std::vector<Rgba8> kPalette = {
    {255, 0, 0, 128}, {0, 0, 0, 0}, {0, 0, 255, 255}, {0, 255, 0, 127}};
const std::vector<uint8_t> kWide = {0, 1, 2, 3, 0, 3, 3, 2, 1, 0, 0, 0, 0, 0, 3};  // 5 x 3
const std::vector<uint8_t> kTall = {2, 2, 2, 3, 3, 3, 1, 1, 1, 0, 0, 0};           // 3 x 4

// One palette for every frame goes global, with one transparent index, and
// the animation loops for ever; scaled, each pixel is a square of GIF
// pixels, and the screen grows with it.
TEST(WriteGif, SharedPaletteGoesGlobalWithOneTransparentIndexAndEachPixelScalesToASquare) {
  const CGifFrame frames[] = {{{5, 3, kWide, kPalette}, 12}, {{3, 4, kTall, kPalette}, 140000}};
  std::vector<uint8_t> bytes;
  std::string message;
  ASSERT_TRUE(WriteGifBytes(frames, bytes, message, 3)) << message;
  const DecodedGif gif = Decode(bytes);
  ASSERT_NE(gif, nullptr);
  EXPECT_TRUE(gif->SWidth == 15 && gif->SHeight == 12);
  ASSERT_NE(gif->SColorMap, nullptr);
  EXPECT_TRUE(gif->SColorMap->ColorCount == 4 && gif->SColorMap->Colors[2].Blue == 255);
  const ExtensionBlock* loop = gif->SavedImages[0].ExtensionBlocks;
  ASSERT_GE(gif->SavedImages[0].ExtensionBlockCount, 2);
  EXPECT_EQ(std::string(loop[0].Bytes, loop[0].Bytes + 11), "NETSCAPE2.0");
  EXPECT_EQ(std::vector<uint8_t>(loop[1].Bytes, loop[1].Bytes + loop[1].ByteCount),
            (std::vector<uint8_t>{1, 0, 0}));  // loop count 0: forever

  ASSERT_EQ(gif->ImageCount, 4);  // the 140000 delay takes three frames
  const int delays[] = {12, 46667, 46667, 46666};
  for (int i = 0; i < gif->ImageCount; ++i) {
    const GraphicsControlBlock control = ControlOf(gif, i);
    EXPECT_EQ(control.DelayTime, delays[i]);
    EXPECT_EQ(control.DisposalMode, DISPOSE_BACKGROUND);
    EXPECT_EQ(control.TransparentColor, 1);
    const SavedImage& image = gif->SavedImages[i];
    EXPECT_EQ(image.ImageDesc.ColorMap, nullptr);
    const auto width = static_cast<size_t>(i == 0 ? 5 : 3);
    const std::vector<uint8_t>& indices = i == 0 ? kWide : kTall;
    ASSERT_EQ(image.ImageDesc.Width, static_cast<int>(width * 3));
    ASSERT_EQ(image.ImageDesc.Height, static_cast<int>(indices.size() / width * 3));
    for (size_t p = 0; p < indices.size() * 9; ++p) {
      const uint8_t index = indices[p / (width * 3) / 3 * width + p % (width * 3) / 3];
      EXPECT_EQ(image.RasterBits[p], index == 3 ? 1 : index) << i << " " << p;
    }
  }
}

TEST(WriteGif, DifferentPalettesGoLocalPaddedToAPowerOfTwo) {
  const std::vector<Rgba8> three = {{1, 2, 3, 255}, {4, 5, 6, 255}, {7, 8, 9, 128}};
  std::vector<Rgba8> five = kPalette;
  five.push_back({9, 9, 9, 255});
  const std::vector<uint8_t> indices = {0, 1, 2, 2, 1, 0, 4, 3, 1, 0, 2, 4};
  const auto first = std::span(indices).first(6);
  const auto last = std::span(indices).last(6);
  const std::vector<CGifFrame> frames = {{{3, 2, first, three}, 5}, {{2, 3, last, five}, 0}};
  std::vector<uint8_t> bytes;
  std::string message;
  ASSERT_TRUE(WriteGifBytes(frames, bytes, message)) << message;
  const DecodedGif gif = Decode(bytes);
  ASSERT_TRUE(gif != nullptr && gif->ImageCount == 2 && gif->SColorMap == nullptr);
  const ColorMapObject* tables[] = {gif->SavedImages[0].ImageDesc.ColorMap,
                                    gif->SavedImages[1].ImageDesc.ColorMap};
  ASSERT_TRUE(tables[0] != nullptr && tables[1] != nullptr);
  EXPECT_TRUE(tables[0]->ColorCount == 4 && tables[0]->Colors[2].Red == 7);
  EXPECT_EQ(tables[1]->ColorCount, 8);
  EXPECT_EQ(ControlOf(gif, 0).TransparentColor, NO_TRANSPARENT_COLOR);
  EXPECT_EQ(ControlOf(gif, 1).TransparentColor, 1);
  const GifByteType* pixels = gif->SavedImages[1].RasterBits;
  EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 6), (std::vector<uint8_t>{4, 1, 1, 0, 2, 4}));

  // 3 pixels fit a GIF side at scale 21845 (65535 pixels), not 21846.
  const std::tuple<std::vector<CGifFrame>, uint32_t, std::string> refused[] = {
      {{}, 1, "no frames to write"},
      {{frames[0], {{2, 3, last, three}, 2}}, 1, "frame 1: index 4 beyond a palette of 3 entries"},
      {{{{3, 2, first, three}, -1}}, 1, "frame 0: negative delay"},
      {{frames[0]}, 0, "scale 0 is not 1 to 65535"},
      {{frames[0]}, 21846, "frame 0: 3 x 2 pixels at scale 21846 are more than 65535 a side"},
  };
  for (const auto& [animation, scale, reason] : refused) {
    bytes.clear();
    EXPECT_FALSE(WriteGifBytes(animation, bytes, message, scale));
    EXPECT_EQ(message, reason);
    EXPECT_TRUE(bytes.empty());  // refused before the first byte
  }
}

// A long animation goes out as it is made, in pieces no larger than a GIF
// sub-block, and its bytes stay those the writer has always made.
TEST(WriteGif, ALongAnimationGoesOutPieceByPieceWithTheSameBytes) {
  std::vector<uint8_t> stripes(64 * 48);
  for (size_t p = 0; p < stripes.size(); ++p)
    stripes[p] = static_cast<uint8_t>((p % 64) * (p / 64) % 4);
  const CIndexedImageView pictures[] = {
      {5, 3, kWide, kPalette}, {3, 4, kTall, kPalette}, {64, 48, stripes, kPalette}};
  std::vector<CGifFrame> frames;
  for (int i = 0; i < 1000; ++i) frames.push_back({pictures[i % 3], (i * 7) % 100});
  size_t total = 0;
  size_t largest = 0;
  uLong crc = crc32(0, nullptr, 0);
  const auto measure = [&](std::span<const uint8_t> piece) {
    total += piece.size();
    largest = std::max(largest, piece.size());
    crc = crc32(crc, piece.data(), static_cast<uInt>(piece.size()));
    return true;
  };
  std::string message;
  ASSERT_TRUE(WriteGif(frames, 1, measure, message)) << message;
  EXPECT_LE(largest, 256u);
  EXPECT_EQ(total, 90315u);
  EXPECT_EQ(crc, 0x74617baeu);

  // A sink that refuses a piece stops the writer, and names the fault itself.
  size_t pieces = 0;
  const auto refuse = [&pieces](std::span<const uint8_t>) { return ++pieces < 10; };
  EXPECT_FALSE(WriteGif(frames, 1, refuse, message));
  EXPECT_EQ(message, "");
  EXPECT_EQ(pieces, 10u);
}

}  // namespace
