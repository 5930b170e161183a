// PNG files of every colour type, bit depth and interlacing, put together
// byte by byte with zlib, so that the pictures libpng reads in the tests
// come from something independent of it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/colour.h"

namespace testing_support {

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

/// The file of `fixture`'s header and palette around `idat`, CRCs made right.
std::vector<uint8_t> Assemble(const PngFixture& fixture, const std::vector<uint8_t>& idat);

/// The whole PNG file of `fixture`.
std::vector<uint8_t> MakeTestPng(const PngFixture& fixture);

/// The bytes of a non-interlaced 8-bit RGBA PNG of `pixels`, `width` a row.
std::string MakeRgbaPng(uint32_t width, const std::vector<Rgba8>& pixels);

/// A 1-bit grey picture of `width` x `height` pixels, all black: a file of
/// a few kilobytes that claims a large size.
std::vector<uint8_t> MakeBlankPng(uint32_t width, uint32_t height);

/// A picture of `colourType` and `bitDepth`, `side` + 6 by `side` pixels,
/// whose channel values change from sample to sample and reach both ends;
/// `transparent` adds a tRNS chunk (palette alphas, or a colour key that
/// the second pixel misses by its lowest bit).
PngFixture MakeFixture(int colourType, int bitDepth, bool interlaced, bool transparent,
                       uint32_t side);

}  // namespace testing_support
