#include "image/png_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "support/png_fixture.h"
#include "support/png_picture.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

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

TEST(ReadPng, EveryColourTypeDepthAndInterlacingFromMemoryAndFile) {
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
      {Assemble(rgba(70000, 70000), {}), "picture of 70000 x 70000 pixels is too large: at most 268435456 are read"},
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

// A stream that cannot seek, as a pipe: its length is unknown until it ends.
class CPipeBuffer : public std::streambuf {
 public:
  explicit CPipeBuffer(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {
    char* begin = reinterpret_cast<char*>(m_bytes.data());
    setg(begin, begin, begin + m_bytes.size());
  }

 private:
  std::vector<uint8_t> m_bytes;
};

TEST(CPngReader, TakesOneRowAtATimeSoAPipeThatStopsAfterTheHeaderCostsNoPicture) {
  // 1 GiB of RGBA claimed, then a pipe that ends: nothing tells its length
  // beforehand, so only reading the rows finds it cut short.
  std::vector<uint8_t> header = Assemble({6, 8, false, 16384, 16384, {}, {}, 0, {}}, {0x78, 0x9c});
  header.resize(header.size() - 12);  // no IEND
  CPipeBuffer pipe(header);
  std::istream in(&pipe);
  CPngReader reader(in);
  std::string message;
  ASSERT_TRUE(reader.ReadHeader(kMaxTestPngPixels, message)) << message;
  EXPECT_EQ(reader.GetHeader().width, 16384u);
  EXPECT_FALSE(reader.ReadRow(message));
  EXPECT_EQ(message, "truncated PNG data");
  EXPECT_FALSE(reader.ReadRow(message));
  EXPECT_EQ(message, "truncated PNG data");  // a failed reader stays failed
}

}  // namespace
