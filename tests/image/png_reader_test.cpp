#include "image/png_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "png_test_file.h"
#include "support/test_support.h"

namespace {

struct Format {
  int colourType;
  int bitDepth;
};

const Format kFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8},  {2, 16}, {3, 1},
                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8},  {6, 16}};

// Channel values that change from sample to sample and reach both ends of the range.
uint16_t SampleAt(size_t i, int bitDepth) {
  const uint32_t top = (1u << bitDepth) - 1;
  if (i < 2) return static_cast<uint16_t>(i * top);
  return static_cast<uint16_t>((i * 40503u + 977) & top);
}

PngTestSpec MakeSpec(Format format, bool interlaced, bool transparent, uint32_t width,
                     uint32_t height) {
  PngTestSpec spec{format.colourType, format.bitDepth, interlaced, width, height, {}, {}, 0, {}};
  const int channels = ChannelCount(format.colourType);
  for (size_t i = 0; i < size_t{width} * height * channels; ++i)
    spec.samples.push_back(SampleAt(i, format.bitDepth));
  if (format.colourType == 3) {
    // Every entry the depth allows, most unused at 8 bits; tRNS shorter than PLTE.
    for (int i = 0; i < (1 << std::min(format.bitDepth, 8)); ++i)
      spec.palette.push_back({static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                              static_cast<uint8_t>(i * 3 + 1), static_cast<uint8_t>(i * 50)});
    spec.alphaCount = transparent ? static_cast<int>(spec.palette.size() / 2 + 1) : 0;
    return spec;
  }
  if (!transparent || (format.colourType & 4) != 0) return spec;
  // The key is the first pixel; the second differs from it in the lowest bit
  // only, so a key compared after 16-bit reduction would hide it too.
  spec.colourKey.assign(spec.samples.begin(), spec.samples.begin() + channels);
  if (width * height > 1)
    for (int c = 0; c < channels; ++c) spec.samples[channels + c] = spec.samples[c] ^ 1;
  return spec;
}

uint8_t Scaled(uint16_t value, int bitDepth) {
  if (bitDepth == 16) return Reduce16To8(value);
  return static_cast<uint8_t>(value * 255 / ((1 << bitDepth) - 1));
}

Rgba8 ExpectedPixel(const PngTestSpec& spec, size_t pixel) {
  const int channels = ChannelCount(spec.colourType);
  const uint16_t* s = spec.samples.data() + pixel * channels;
  const bool grey = (spec.colourType & 2) == 0;
  Rgba8 colour;
  colour.r = Scaled(s[0], spec.bitDepth);
  colour.g = grey ? colour.r : Scaled(s[1], spec.bitDepth);
  colour.b = grey ? colour.r : Scaled(s[2], spec.bitDepth);
  colour.a = (spec.colourType & 4) != 0 ? Scaled(s[channels - 1], spec.bitDepth) : 255;
  if (!spec.colourKey.empty() && std::equal(spec.colourKey.begin(), spec.colourKey.end(), s))
    colour.a = 0;
  return colour;
}

void ExpectPicture(const PngTestSpec& spec, const CPngPicture& picture) {
  ASSERT_EQ(picture.width, spec.width);
  ASSERT_EQ(picture.height, spec.height);
  ASSERT_EQ(picture.indexed, spec.colourType == 3);
  if (picture.indexed) {
    std::vector<Rgba8> palette = spec.palette;
    for (size_t i = static_cast<size_t>(spec.alphaCount); i < palette.size(); ++i)
      palette[i].a = 255;
    EXPECT_EQ(picture.palette, palette);
    EXPECT_TRUE(std::equal(picture.indices.begin(), picture.indices.end(), spec.samples.begin(),
                           spec.samples.end()));
    EXPECT_TRUE(picture.pixels.empty());
    return;
  }
  ASSERT_EQ(picture.pixels.size(), size_t{spec.width} * spec.height);
  for (size_t i = 0; i < picture.pixels.size(); ++i)
    ASSERT_EQ(picture.pixels[i], ExpectedPixel(spec, i)) << "pixel " << i;
  EXPECT_TRUE(picture.indices.empty() && picture.palette.empty());
}

TEST(ReadPng, EveryColourTypeDepthAndInterlacingFromMemoryAndStream) {
  for (const Format format : kFormats) {
    for (const bool interlaced : {false, true}) {
      for (const bool transparent : {false, true}) {
        for (const auto& [width, height] : {std::pair{13u, 7u}, std::pair{1u, 1u}}) {
          SCOPED_TRACE(testing::Message() << "type " << format.colourType << " depth "
                                          << format.bitDepth << " interlaced " << interlaced
                                          << " transparent " << transparent << " " << width);
          const PngTestSpec spec = MakeSpec(format, interlaced, transparent, width, height);
          std::string message;
          const std::vector<uint8_t> png = MakeTestPng(spec, message);
          ASSERT_FALSE(png.empty()) << message;
          CPngPicture picture;
          ASSERT_TRUE(ReadPng(png, picture, message)) << message;
          ExpectPicture(spec, picture);
          std::istringstream stream(std::string(png.begin(), png.end()));
          ASSERT_TRUE(ReadPng(stream, picture, message)) << message;
          ExpectPicture(spec, picture);
        }
      }
    }
  }
}

TEST(ReadPng, SixteenBitChannelsRoundToTheNearestForAllValues) {
  PngTestSpec spec{0, 16, false, 256, 256, {}, {}, 0, {}};
  for (uint32_t v = 0; v < 65536; ++v) spec.samples.push_back(static_cast<uint16_t>(v));
  std::string message;
  CPngPicture picture;
  ASSERT_TRUE(ReadPng(MakeTestPng(spec, message), picture, message)) << message;
  for (uint32_t v = 0; v < 65536; ++v) {
    const double exact = v * 255.0 / 65535.0;
    ASSERT_LE(std::abs(picture.pixels[v].r - exact), 0.5) << v;
    ASSERT_EQ(picture.pixels[v], ExpectedPixel(spec, v)) << v;
  }
}

std::vector<uint8_t> Ihdr(uint32_t width, uint32_t height, uint8_t colourType) {
  std::vector<uint8_t> data;
  for (const uint32_t side : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) data.push_back(static_cast<uint8_t>(side >> shift));
  data.insert(data.end(), {8, colourType, 0, 0, 0});
  return data;
}

TEST(ReadPng, DamagedOrAbsurdFilesFailWithAReasonAndLeaveNoPicture) {
  std::string message;
  const std::vector<uint8_t> good = MakeTestPng(MakeSpec({6, 8}, false, false, 13, 7), message);
  std::vector<uint8_t> badCrc = good;
  badCrc[20] ^= 1;  // inside IHDR's data
  std::vector<uint8_t> badIdatCrc = good;
  badIdatCrc[good.size() - 13] ^= 1;  // IDAT's CRC, just before IEND
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{}, "not a PNG file"},
      {{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "not a PNG file"},
      {std::vector<uint8_t>(good.begin(), good.begin() + 5), "truncated PNG data"},
      {badCrc, "IHDR: CRC error"},
      {badIdatCrc, "IDAT: CRC error"},
      {ReplaceChunk(good, "IDAT", {0x78, 0x9c, 0xff, 0xff}), "IDAT: invalid block type"},
      {ReplaceChunk(good, "IHDR", Ihdr(70000, 70000, 6)), "picture of 70000 x 70000 pixels is too large"},
      {ReplaceChunk(good, "IHDR", Ihdr(0x80000000u, 1, 6)), "PNG unsigned integer out of range"},
      // 1 GiB of pixels from a few bytes: refused before the memory is taken.
      {ReplaceChunk(good, "IHDR", Ihdr(16384, 16384, 6)), "truncated PNG data"},
  };
  for (const auto& [bytes, reason] : cases) {
    CPngPicture picture;
    ASSERT_TRUE(ReadPng(good, picture, message));
    EXPECT_FALSE(ReadPng(bytes, picture, message)) << reason;
    EXPECT_EQ(message, reason);
    EXPECT_TRUE(picture.width == 0 && picture.pixels.empty() && picture.indices.empty());
  }
  // Every cut of a good file is reported as cut, wherever it falls.
  for (size_t size = 1; size < good.size(); ++size) {
    CPngPicture picture;
    EXPECT_FALSE(ReadPng(std::span(good.data(), size), picture, message));
    EXPECT_EQ(message, "truncated PNG data") << "cut at " << size;
  }
}

TEST(ReadPng, FilesAreReadFromDiskAndAMissingOneSaysSo) {
  testing_support::TempDir dir;
  std::string message;
  const PngTestSpec spec = MakeSpec({3, 4}, true, true, 13, 7);
  const std::vector<uint8_t> png = MakeTestPng(spec, message);
  CPngPicture picture;
  ASSERT_TRUE(ReadPngFile(dir.Write("a.png", std::string(png.begin(), png.end())), picture,
                          message));
  ExpectPicture(spec, picture);
  EXPECT_FALSE(ReadPngFile(dir.Path("missing.png"), picture, message));
  EXPECT_EQ(message, "cannot open the file");
}

}  // namespace
