#include "texture/texture_format.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace {

// The 64-byte header: zero bytes up to `offset`, then `fields` big-endian,
// then zero bytes to its end.
std::string MakeHeader(size_t offset, std::initializer_list<uint32_t> fields) {
  std::string bytes(offset, '\0');
  for (uint32_t field : fields) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(field >> shift));
  }
  bytes.resize(kTextureHeaderSize, '\0');
  return bytes;
}

}  // namespace

std::string EncodeTmfFile(const TmfHeader& header, std::string_view body) {
  std::string bytes =
      MakeHeader(4, {header.tag, static_cast<uint32_t>(header.width),
                     static_cast<uint32_t>(header.height), static_cast<uint32_t>(header.bits)});
  bytes += body;
  return bytes;
}

std::string EncodeTlfFile(const TlfHeader& header, std::string_view body) {
  std::string bytes = MakeHeader(0, {header.tag, static_cast<uint32_t>(header.count), header.type});
  bytes += body;
  return bytes;
}

std::string EncodeTmf(int32_t width, int32_t height, int32_t bits,
                      std::span<const uint8_t> indices) {
  return EncodeTmf(width, height, bits, [&](int32_t y, std::span<uint8_t> row) {
    const auto first = indices.begin() + static_cast<ptrdiff_t>(static_cast<uint64_t>(y) * width);
    std::copy(first, first + width, row.begin());
  });
}

std::string EncodeTmf(int32_t width, int32_t height, int32_t bits, const TmfRowSource& source) {
  // The body is packed in place behind the header: a large picture is not
  // copied once more to put the two together.
  std::string bytes = EncodeTmfFile({TmfTagFor(bits), width, height, bits}, {});
  const uint64_t rowBytes = TmfRowBytes(width, bits);
  bytes.resize(kTextureHeaderSize + (rowBytes * static_cast<uint64_t>(height) + 3) / 4 * 4, '\0');
  char* body = bytes.data() + kTextureHeaderSize;
  std::vector<uint8_t> indices(static_cast<size_t>(width));
  const uint8_t* pixels = indices.data();
  for (int32_t y = 0; y < height; ++y) {
    char* row = body + rowBytes * static_cast<uint64_t>(height - 1 - y);
    source(y, indices);
    for (int32_t x = 0; x < width; ++x) {
      if (bits == 8) {
        row[x] = static_cast<char>(pixels[x]);
      } else {
        row[x / 2] = static_cast<char>(row[x / 2] | ((pixels[x] & 0x0f) << (x % 2 == 0 ? 4 : 0)));
      }
    }
  }
  return bytes;
}

std::string EncodeTlf(uint32_t type, std::span<const uint16_t> entries, int32_t bits) {
  const int32_t count = bits == 4 ? 16 : 256;
  std::string body(static_cast<size_t>(count) * 2, '\0');
  for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(count); ++i) {
    body[2 * i] = static_cast<char>(entries[i] >> 8);
    body[2 * i + 1] = static_cast<char>(entries[i] & 0xff);
  }
  return EncodeTlfFile({TlfTagFor(count), count, type}, body);
}
