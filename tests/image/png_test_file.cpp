#include "png_test_file.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <csetjmp>

namespace {

void OnError(png_structp png, png_const_charp text) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = text;
  png_longjmp(png, 1);
}

void OnWrite(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

// The rows as the file stores them: samples packed most significant bit
// first below 8 bits, big-endian at 16.
std::vector<std::vector<uint8_t>> PackRows(const PngTestSpec& spec) {
  const size_t perRow = size_t{spec.width} * ChannelCount(spec.colourType);
  std::vector<std::vector<uint8_t>> rows(spec.height,
                                         std::vector<uint8_t>((perRow * spec.bitDepth + 7) / 8));
  for (size_t y = 0; y < spec.height; ++y) {
    for (size_t i = 0; i < perRow; ++i) {
      const uint16_t value = spec.samples[y * perRow + i];
      if (spec.bitDepth == 16) {
        rows[y][2 * i] = static_cast<uint8_t>(value >> 8);
        rows[y][2 * i + 1] = static_cast<uint8_t>(value);
        continue;
      }
      const size_t bit = i * spec.bitDepth;
      rows[y][bit / 8] |= static_cast<uint8_t>(value << (8 - spec.bitDepth - bit % 8));
    }
  }
  return rows;
}

// The setjmp frame: owns nothing, everything is prepared by the caller.
bool WriteFrame(png_structp png, png_infop info, const PngTestSpec* spec, png_colorp colours,
                png_bytep alphas, png_color_16p key, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, spec->width, spec->height, spec->bitDepth, spec->colourType,
               spec->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (spec->colourType == PNG_COLOR_TYPE_PALETTE)
    png_set_PLTE(png, info, colours, static_cast<int>(spec->palette.size()));
  if (spec->alphaCount > 0) png_set_tRNS(png, info, alphas, spec->alphaCount, nullptr);
  if (!spec->colourKey.empty()) png_set_tRNS(png, info, nullptr, 0, key);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

size_t ChunkLengthAt(const std::vector<uint8_t>& png, size_t at) {
  return size_t{png[at]} << 24 | size_t{png[at + 1]} << 16 | size_t{png[at + 2]} << 8 | png[at + 3];
}

std::string ChunkTypeAt(const std::vector<uint8_t>& png, size_t at) {
  return std::string(png.begin() + static_cast<ptrdiff_t>(at) + 4,
                     png.begin() + static_cast<ptrdiff_t>(at) + 8);
}

}  // namespace

int ChannelCount(int colourType) {
  constexpr std::array<int, 7> kCounts = {1, 0, 3, 1, 2, 0, 4};
  return kCounts.at(static_cast<size_t>(colourType));
}

std::vector<uint8_t> MakeTestPng(const PngTestSpec& spec, std::string& message) {
  std::vector<png_color> colours;
  std::vector<png_byte> alphas;
  for (const Rgba8& entry : spec.palette) {
    colours.push_back({entry.r, entry.g, entry.b});
    alphas.push_back(entry.a);
  }
  png_color_16 key{};
  if (spec.colourKey.size() == 1) key.gray = spec.colourKey[0];
  if (spec.colourKey.size() == 3) key = {0, spec.colourKey[0], spec.colourKey[1], spec.colourKey[2], 0};
  std::vector<std::vector<uint8_t>> rows = PackRows(spec);
  std::vector<png_bytep> rowPointers;
  for (std::vector<uint8_t>& row : rows) rowPointers.push_back(row.data());

  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, OnError, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, OnWrite, nullptr);
  if (!WriteFrame(png, info, &spec, colours.data(), alphas.data(), &key, rowPointers.data()))
    out.clear();
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<std::string> ListChunks(const std::vector<uint8_t>& png) {
  std::vector<std::string> chunks;
  for (size_t at = 8; at + 8 <= png.size(); at += 12 + ChunkLengthAt(png, at))
    chunks.push_back(ChunkTypeAt(png, at) + ":" + std::to_string(ChunkLengthAt(png, at)));
  return chunks;
}

std::vector<uint8_t> ReplaceChunk(const std::vector<uint8_t>& png, const std::string& type,
                                  const std::vector<uint8_t>& data) {
  size_t at = 8;
  while (at + 8 <= png.size() && ChunkTypeAt(png, at) != type) at += 12 + ChunkLengthAt(png, at);
  if (at + 8 > png.size()) return {};
  const size_t oldLength = ChunkLengthAt(png, at);
  // Length, type, data, CRC of type and data.
  std::vector<uint8_t> chunk(12 + data.size());
  const auto putBigEndian = [&](size_t at, size_t value) {
    for (size_t i = 0; i < 4; ++i) chunk[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
  };
  putBigEndian(0, data.size());
  std::copy(type.begin(), type.end(), chunk.begin() + 4);
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  putBigEndian(8 + data.size(), crc32(0, chunk.data() + 4, static_cast<uInt>(4 + data.size())));
  std::vector<uint8_t> out(png.begin(), png.begin() + at);
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), png.begin() + at + 12 + oldLength, png.end());
  return out;
}
