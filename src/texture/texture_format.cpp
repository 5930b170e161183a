#include "texture/texture_format.h"

#include <initializer_list>

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
