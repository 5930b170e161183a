#include "support/png_fixture.h"

#include <zlib.h>

namespace testing_support {

// The rows as the file stores them before compression, pass by pass when
// interlaced, each after a filter byte 0: samples packed most significant
// bits first below 8 bits, big-endian at 16.
namespace {

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

// `raw`, the rows as the file stores them, compressed into the file of `fixture`.
std::vector<uint8_t> Compressed(const PngFixture& fixture, const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> idat(compressBound(static_cast<uLong>(raw.size())));
  uLongf size = static_cast<uLongf>(idat.size());
  compress(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  idat.resize(size);
  return Assemble(fixture, idat);
}

}  // namespace

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

std::string MakeRgbaPng(uint32_t width, const std::vector<Rgba8>& pixels) {
  PngFixture png{6, 8, false, width, static_cast<uint32_t>(pixels.size() / width), {}, {}, 0, {}};
  for (const Rgba8& p : pixels) png.samples.insert(png.samples.end(), {p.r, p.g, p.b, p.a});
  const std::vector<uint8_t> bytes = MakeTestPng(png);
  return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> MakeBlankPng(uint32_t width, uint32_t height) {
  // Each row a filter byte 0 and zero samples.
  const std::vector<uint8_t> raw(size_t{height} * (1 + (size_t{width} + 7) / 8), 0);
  return Compressed({0, 1, false, width, height, {}, {}, 0, {}}, raw);
}

std::vector<uint8_t> MakeTestPng(const PngFixture& fixture) {
  return Compressed(fixture, RawRows(fixture));
}

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

}  // namespace testing_support
