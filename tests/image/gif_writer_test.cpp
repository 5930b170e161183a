#include "image/gif_writer.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A GIF decoded whole by giflib, closed when it goes.
struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using DecodedGif = std::unique_ptr<GifFileType, GifCloser>;

struct GifBytes {
  const std::vector<uint8_t>* bytes = nullptr;
  size_t at = 0;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int count) {
  auto* in = static_cast<GifBytes*>(gif->UserData);
  const size_t taken = std::min(static_cast<size_t>(count), in->bytes->size() - in->at);
  std::copy_n(in->bytes->data() + in->at, taken, out);
  in->at += taken;
  return static_cast<int>(taken);
}

DecodedGif Decode(const std::vector<uint8_t>& bytes) {
  GifBytes in{&bytes, 0};
  int error = 0;
  DecodedGif gif(DGifOpen(&in, ReadGifBytes, &error));
  if (gif == nullptr || DGifSlurp(gif.get()) != GIF_OK) return nullptr;
  return gif;
}

GraphicsControlBlock ControlOf(GifFileType* gif, int frame) {
  GraphicsControlBlock control{};
  EXPECT_EQ(DGifSavedExtensionToGCB(gif, frame, &control), GIF_OK);
  return control;
}

// Red, transparent, blue, transparent green: the second transparent entry
// must come back as the first.
const std::vector<Rgba8> kPalette = {{255, 0, 0, 255}, {0, 0, 0, 0}, {0, 0, 255, 255}, {0, 255, 0, 0}};
const std::vector<uint8_t> kWide = {0, 1, 2, 3, 0, 3, 3, 2, 1, 0, 0, 0, 0, 0, 3};  // 5 x 3
const std::vector<uint8_t> kTall = {2, 2, 2, 3, 3, 3, 1, 1, 1, 0, 0, 0};           // 3 x 4

TEST(WriteGif, SharedPaletteGoesGlobalAndLoopsForeverWithOneTransparentIndex) {
  const CGifFrame frames[] = {{{5, 3, kWide, kPalette}, 12}, {{3, 4, kTall, kPalette}, 140000}};
  std::vector<uint8_t> bytes;
  std::string message;
  ASSERT_TRUE(WriteGif(frames, bytes, message)) << message;
  const DecodedGif gif = Decode(bytes);
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  EXPECT_EQ(gif->SWidth, 5);
  EXPECT_EQ(gif->SHeight, 4);
  ASSERT_NE(gif->SColorMap, nullptr);
  EXPECT_EQ(gif->SColorMap->ColorCount, 4);
  EXPECT_EQ(gif->SColorMap->Colors[2].Blue, 255);

  const ExtensionBlock* loop = gif->SavedImages[0].ExtensionBlocks;
  ASSERT_GE(gif->SavedImages[0].ExtensionBlockCount, 2);
  EXPECT_EQ(loop[0].Function, APPLICATION_EXT_FUNC_CODE);
  EXPECT_EQ(std::string(loop[0].Bytes, loop[0].Bytes + loop[0].ByteCount), "NETSCAPE2.0");
  EXPECT_EQ(std::vector<uint8_t>(loop[1].Bytes, loop[1].Bytes + loop[1].ByteCount),
            (std::vector<uint8_t>{1, 0, 0}));

  // The long delay is split over copies of the picture: 140000 -> 3 frames.
  ASSERT_EQ(gif->ImageCount, 4);
  const int delays[] = {12, 46667, 46667, 46666};
  for (int i = 0; i < gif->ImageCount; ++i) {
    const GraphicsControlBlock control = ControlOf(gif.get(), i);
    EXPECT_EQ(control.DelayTime, delays[i]);
    EXPECT_EQ(control.DisposalMode, DISPOSE_BACKGROUND);
    EXPECT_EQ(control.TransparentColor, 1);
    EXPECT_EQ(gif->SavedImages[i].ImageDesc.ColorMap, nullptr);
    const std::vector<uint8_t>& indices = i == 0 ? kWide : kTall;
    const SavedImage& image = gif->SavedImages[i];
    EXPECT_EQ(image.ImageDesc.Left, 0);
    EXPECT_EQ(image.ImageDesc.Width * image.ImageDesc.Height, static_cast<int>(indices.size()));
    for (size_t p = 0; p < indices.size(); ++p)
      EXPECT_EQ(image.RasterBits[p], indices[p] == 3 ? 1 : indices[p]) << i << " " << p;
  }
}

TEST(WriteGif, DifferentPalettesGoLocalPaddedToAPowerOfTwo) {
  const std::vector<Rgba8> opaque = {{1, 2, 3, 255}, {4, 5, 6, 255}, {7, 8, 9, 128}};
  const std::vector<Rgba8> five = {{9, 9, 9, 255}, {0, 0, 0, 0}, {1, 1, 1, 255}, {2, 2, 2, 0},
                                   {3, 3, 3, 255}};
  const std::vector<uint8_t> indices = {0, 1, 2, 2, 1, 0};
  const std::vector<uint8_t> more = {4, 3, 1, 0, 2, 4};
  const CGifFrame frames[] = {{{3, 2, indices, opaque}, 5}, {{2, 3, more, five}, 0}};
  std::vector<uint8_t> bytes;
  std::string message;
  ASSERT_TRUE(WriteGif(frames, bytes, message)) << message;
  const DecodedGif gif = Decode(bytes);
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(gif->SColorMap, nullptr);
  ASSERT_EQ(gif->ImageCount, 2);
  const ColorMapObject* first = gif->SavedImages[0].ImageDesc.ColorMap;
  const ColorMapObject* second = gif->SavedImages[1].ImageDesc.ColorMap;
  ASSERT_TRUE(first != nullptr && second != nullptr);
  EXPECT_EQ(first->ColorCount, 4);
  EXPECT_EQ(first->Colors[2].Red, 7);
  EXPECT_EQ(first->Colors[3].Red, 0);  // padding
  EXPECT_EQ(second->ColorCount, 8);
  EXPECT_EQ(ControlOf(gif.get(), 0).TransparentColor, NO_TRANSPARENT_COLOR);
  EXPECT_EQ(ControlOf(gif.get(), 1).TransparentColor, 1);
  EXPECT_EQ(ControlOf(gif.get(), 1).DelayTime, 0);
  const GifByteType* pixels = gif->SavedImages[1].RasterBits;
  EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 6), (std::vector<uint8_t>{4, 1, 1, 0, 2, 4}));
}

TEST(WriteGif, ImpossibleAnimationsAreRefusedWithAReason) {
  const std::vector<uint8_t> huge(70000, 0);
  const std::vector<Rgba8> tooMany(257);
  const std::vector<uint8_t> fourPixels = {0, 0, 0, 0};
  const std::vector<std::pair<std::vector<CGifFrame>, std::string>> cases = {
      {{}, "no frames to write"},
      {{{{70000, 1, huge, kPalette}, 2}}, "frame 0: picture larger than 65535 pixels a side"},
      {{{{5, 3, kWide, kPalette}, 2}, {{2, 2, fourPixels, tooMany}, 2}},
       "frame 1: palette of 257 entries (1 to 256 allowed)"},
      {{{{5, 3, kWide, kPalette}, -1}}, "frame 0: negative delay"},
  };
  for (const auto& [frames, reason] : cases) {
    std::vector<uint8_t> bytes = {1};
    std::string message;
    EXPECT_FALSE(WriteGif(frames, bytes, message));
    EXPECT_EQ(message, reason);
    EXPECT_TRUE(bytes.empty());
  }
}

}  // namespace
