#include "image/png_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "support/test_support.h"

namespace {

// A PNG file to put together: `samples` are the channels of each pixel as
// the file stores them, rows top to bottom; a palette file has one, the index.
struct PngFixture {
  int colourType = 0;
  int bitDepth = 8;
  bool interlaced = false;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint16_t> samples;
  std::vector<Rgba8> palette;       // type 3: PLTE
  int alphaCount = 0;               // type 3: how many palette alphas go to tRNS
  std::vector<uint16_t> colourKey;  // types 0 and 2: the tRNS key, when not empty
  int Channels() const { return std::array{1, 0, 3, 1, 2, 0, 4}.at(colourType); }
};

// The rows as the file stores them before compression, pass by pass when
// interlaced, each after a filter byte 0: samples packed most significant
// bits first below 8 bits, big-endian at 16.
std::vector<uint8_t> RawRows(const PngFixture& fixture) {
  using Pass = std::array<uint32_t, 4>;  // first column, first row, column step, row step
  const std::vector<Pass> passes =
      fixture.interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                         : std::vector<Pass>{{0, 0, 1, 1}};
  std::vector<uint8_t> raw;
  for (const auto& [x0, y0, dx, dy] : passes) {
    for (uint32_t y = y0; x0 < fixture.width && y < fixture.height; y += dy) {
      raw.push_back(0);
      uint32_t bit = 0;
      for (uint32_t x = x0; x < fixture.width; x += dx) {
        for (int c = 0; c < fixture.Channels(); ++c, bit += fixture.bitDepth) {
          const uint16_t value =
              fixture.samples[(size_t{y} * fixture.width + x) * fixture.Channels() + c];
          if (fixture.bitDepth == 16) raw.push_back(static_cast<uint8_t>(value >> 8));
          if (bit % 8 == 0) raw.push_back(0);
          raw.back() |= static_cast<uint8_t>(
              value << (fixture.bitDepth >= 8 ? 0 : 8 - fixture.bitDepth - bit % 8));
        }
      }
    }
  }
  return raw;
}

// The file of `fixture`'s header and palette around `idat`, CRCs made right.
std::vector<uint8_t> Assemble(const PngFixture& fixture, const std::vector<uint8_t>& idat) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  const auto putBigEndian = [](std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
      out.push_back(static_cast<uint8_t>(value >> shift));
  };
  const auto putChunk = [&](const char* type, const std::vector<uint8_t>& data) {
    putBigEndian(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian(png, crc32(0, png.data() + start, static_cast<uInt>(png.size() - start)));
  };
  std::vector<uint8_t> header;
  putBigEndian(header, fixture.width);
  putBigEndian(header, fixture.height);
  header.insert(header.end(), {static_cast<uint8_t>(fixture.bitDepth),
                               static_cast<uint8_t>(fixture.colourType), 0, 0, fixture.interlaced});
  putChunk("IHDR", header);
  std::vector<uint8_t> colours;
  std::vector<uint8_t> alphas;
  for (const Rgba8& entry : fixture.palette) {
    colours.insert(colours.end(), {entry.r, entry.g, entry.b});
    if (alphas.size() < static_cast<size_t>(fixture.alphaCount)) alphas.push_back(entry.a);
  }
  for (const uint16_t key : fixture.colourKey)
    alphas.insert(alphas.end(), {static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key)});
  if (!colours.empty()) putChunk("PLTE", colours);
  if (!alphas.empty()) putChunk("tRNS", alphas);
  putChunk("IDAT", idat);
  putChunk("IEND", {});
  return png;
}

std::vector<uint8_t> MakeTestPng(const PngFixture& fixture) {
  const std::vector<uint8_t> raw = RawRows(fixture);
  std::vector<uint8_t> idat(compressBound(static_cast<uLong>(raw.size())));
  uLongf size = static_cast<uLongf>(idat.size());
  EXPECT_EQ(compress(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
  idat.resize(size);
  return Assemble(fixture, idat);
}

// Channel values that change from sample to sample and reach both ends.
PngFixture MakeFixture(int colourType, int bitDepth, bool interlaced, bool transparent,
                       uint32_t side) {
  PngFixture fixture{colourType, bitDepth, interlaced, side + 6, side, {}, {}, 0, {}};
  const uint32_t top = (1u << bitDepth) - 1;
  const int channels = fixture.Channels();
  for (uint32_t i = 0; i < fixture.width * side * channels; ++i)
    fixture.samples.push_back(static_cast<uint16_t>(i < 2 ? i * top : (i * 40503u + 977) & top));
  if (colourType == 3) {
    // Every entry the depth allows, most unused at 8 bits; tRNS shorter than PLTE.
    for (uint32_t i = 0; i <= std::min(top, 255u); ++i)
      fixture.palette.push_back({static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                                 static_cast<uint8_t>(i * 3 + 1), static_cast<uint8_t>(i * 50)});
    fixture.alphaCount = transparent ? static_cast<int>(fixture.palette.size() / 2 + 1) : 0;
  } else if (transparent && (colourType & 4) == 0) {
    // The key is the first pixel; the second differs from it in the lowest bit
    // only, so a key compared after the 16-bit reduction would hide it too.
    fixture.colourKey.assign(fixture.samples.begin(), fixture.samples.begin() + channels);
    for (int c = 0; c < channels; ++c) fixture.samples[channels + c] = fixture.samples[c] ^ 1;
  }
  return fixture;
}

uint8_t Scaled(uint16_t value, int bitDepth) {
  return bitDepth == 16 ? Reduce16To8(value)
                        : static_cast<uint8_t>(value * 255 / ((1 << bitDepth) - 1));
}

void ExpectPicture(const PngFixture& fixture, const CPngPicture& picture) {
  ASSERT_TRUE(picture.width == fixture.width && picture.height == fixture.height);
  ASSERT_EQ(picture.indexed, fixture.colourType == 3);
  if (picture.indexed) {
    std::vector<Rgba8> palette = fixture.palette;
    for (size_t i = static_cast<size_t>(fixture.alphaCount); i < palette.size(); ++i)
      palette[i].a = 255;
    EXPECT_EQ(picture.palette, palette);
    EXPECT_TRUE(std::ranges::equal(picture.indices, fixture.samples));
    return;
  }
  ASSERT_EQ(picture.pixels.size(), size_t{fixture.width} * fixture.height);
  const bool grey = (fixture.colourType & 2) == 0;
  const int channels = fixture.Channels();
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const uint16_t* s = fixture.samples.data() + i * channels;
    const uint8_t r = Scaled(s[0], fixture.bitDepth);
    Rgba8 expected{
        r, grey ? r : Scaled(s[1], fixture.bitDepth), grey ? r : Scaled(s[2], fixture.bitDepth),
        (fixture.colourType & 4) ? Scaled(s[channels - 1], fixture.bitDepth) : uint8_t{255}};
    if (!fixture.colourKey.empty() &&
        std::equal(fixture.colourKey.begin(), fixture.colourKey.end(), s))
      expected.a = 0;
    ASSERT_EQ(picture.pixels[i], expected) << "pixel " << i;
  }
}

TEST(ReadPng, EveryColourTypeDepthAndInterlacingFromMemoryStreamAndFile) {
  const std::pair<int, std::vector<int>> formats[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  for (const auto& [colourType, depths] : formats) {
    for (const int depth : depths) {
      for (const int variant : {0, 1, 2, 3, 4, 5}) {  // interlaced, transparent, small
        SCOPED_TRACE(testing::Message() << colourType << " " << depth << " " << variant);
        const PngFixture fixture =
            MakeFixture(colourType, depth, variant & 1, variant >= 2, variant >= 4 ? 1 : 7);
        const std::vector<uint8_t> png = MakeTestPng(fixture);
        CPngPicture picture;
        std::string message;
        ASSERT_TRUE(ReadPng(png, picture, message)) << message;
        ExpectPicture(fixture, picture);
        std::istringstream stream(std::string(png.begin(), png.end()));
        ASSERT_TRUE(ReadPng(stream, picture, message)) << message;
        ExpectPicture(fixture, picture);
      }
    }
  }
  PngFixture all{0, 16, false, 256, 256, {}, {}, 0, {}};  // every 16-bit value once
  for (uint32_t v = 0; v < 65536; ++v) all.samples.push_back(static_cast<uint16_t>(v));
  testing_support::TempDir dir;
  const std::vector<uint8_t> png = MakeTestPng(all);
  CPngPicture picture;
  std::string message;
  ASSERT_TRUE(
      ReadPngFile(dir.Write("a.png", std::string(png.begin(), png.end())), picture, message));
  ExpectPicture(all, picture);
  EXPECT_FALSE(ReadPngFile(dir.Path("missing.png"), picture, message));
  EXPECT_EQ(message, "cannot open the file");
}

TEST(ReadPng, DamagedOrAbsurdFilesFailWithAReasonAndLeaveNoPicture) {
  const auto rgba = [](uint32_t width, uint32_t height) {
    return PngFixture{6, 8, false, width, height, {}, {}, 0, {}};
  };
  const std::vector<uint8_t> good = MakeTestPng(MakeFixture(6, 8, false, false, 7));
  std::vector<uint8_t> badCrc = good;
  badCrc[20] ^= 1;  // inside IHDR's data
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{}, "not a PNG file"},
      {{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "not a PNG file"},
      {badCrc, "IHDR: CRC error"},
      {Assemble(rgba(13, 7), {0x78, 0x9c, 0xff, 0xff}), "IDAT: invalid block type"},
      {Assemble(rgba(70000, 70000), {}), "picture of 70000 x 70000 pixels is too large"},
      {Assemble(rgba(0x80000000u, 1), {}), "PNG unsigned integer out of range"},
      // 1 GiB of pixels from a few bytes: refused before the memory is taken.
      {Assemble(rgba(16384, 16384), {0x78, 0x9c}), "truncated PNG data"},
  };
  std::string message;
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

}  // namespace
