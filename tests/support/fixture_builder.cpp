#include "support/fixture_builder.h"

namespace testing_support {

void PutBigEndian32(std::string& bytes, uint32_t value) {
  bytes.push_back(static_cast<char>((value >> 24) & 0xff));
  bytes.push_back(static_cast<char>((value >> 16) & 0xff));
  bytes.push_back(static_cast<char>((value >> 8) & 0xff));
  bytes.push_back(static_cast<char>(value & 0xff));
}

std::string MakeTmf(uint32_t tag, int32_t width, int32_t height, int32_t bits,
                    const std::string& body) {
  std::string bytes;
  PutBigEndian32(bytes, 0);
  PutBigEndian32(bytes, tag);
  PutBigEndian32(bytes, static_cast<uint32_t>(width));
  PutBigEndian32(bytes, static_cast<uint32_t>(height));
  PutBigEndian32(bytes, static_cast<uint32_t>(bits));
  bytes.resize(64, '\0');
  return bytes + body;
}

std::string MakeCountingTmf(int32_t width, int32_t height, int32_t bits) {
  const size_t rowBytes = (static_cast<size_t>(width) * static_cast<size_t>(bits) + 7) / 8;
  size_t packed = rowBytes * static_cast<size_t>(height);
  packed = (packed + 3) / 4 * 4;
  std::string body(packed, '\0');
  for (size_t i = 0; i < packed; ++i) body[i] = static_cast<char>(i & 0xff);
  return MakeTmf(bits == 4 ? kTmfTag4Bit : kTmfTag8Bit, width, height, bits, body);
}

std::string MakeTlf(uint32_t tag, int32_t count, uint32_t type,
                    const std::vector<uint16_t>& entries) {
  std::string bytes;
  PutBigEndian32(bytes, tag);
  PutBigEndian32(bytes, static_cast<uint32_t>(count));
  PutBigEndian32(bytes, type);
  bytes.resize(64, '\0');
  for (uint16_t entry : entries) {
    bytes.push_back(static_cast<char>(entry >> 8));
    bytes.push_back(static_cast<char>(entry & 0xff));
  }
  return bytes;
}

std::string MakeSimpleTlf(int32_t count, uint16_t seed) {
  std::vector<uint16_t> entries;
  for (int32_t i = 0; i < count; ++i) entries.push_back(static_cast<uint16_t>(seed + i));
  return MakeTlf(count == 256 ? kTlfTag256 : kTlfTag16, count, 0, entries);
}

}  // namespace testing_support
