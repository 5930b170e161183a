// Builds TMF and TLF files byte by byte for tests: a 64-byte header of
// big-endian 32-bit fields followed by a body, so no test depends on binary
// blobs of unknown origin.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

constexpr uint32_t kTmfTag4Bit = 0x00120200;
constexpr uint32_t kTmfTag8Bit = 0x00120300;
constexpr uint32_t kTlfTag16 = 0x00200100;
constexpr uint32_t kTlfTag256 = 0x00200200;

/// Appends `value` as four big-endian bytes.
void PutBigEndian32(std::string& bytes, uint32_t value);

/// A TMF file: header (tag at offset 4, width, height, bits) and `body`.
std::string MakeTmf(uint32_t tag, int32_t width, int32_t height, int32_t bits,
                    const std::string& body);

/// A TMF file whose packed body holds bytes 0, 1, 2, ... (mod 256).
std::string MakeCountingTmf(int32_t width, int32_t height, int32_t bits);

/// A TLF file: header (tag, count, type) and the entries, high byte first.
std::string MakeTlf(uint32_t tag, int32_t count, uint32_t type,
                    const std::vector<uint16_t>& entries);

/// A valid 16-entry or 256-entry palette with entries seed, seed+1, ...
std::string MakeSimpleTlf(int32_t count, uint16_t seed = 0);

}  // namespace testing_support
