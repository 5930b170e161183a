// The binary layouts of TMF images and TLF palettes: a 64-byte header of
// 32-bit big-endian fields, then the body. One place for the numbers that
// the loaders check and the writers put in.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

/// TMF header, from offset 4: tag, width, height, bits per pixel.
inline constexpr uint32_t kTmfTag4Bit = 0x00120200;
inline constexpr uint32_t kTmfTag8Bit = 0x00120300;
/// TLF header, from offset 0: tag, entry count, palette type.
inline constexpr uint32_t kTlfTag16 = 0x00200100;
inline constexpr uint32_t kTlfTag256 = 0x00200200;
/// TLF palette types: RGBA 5551 and intensity/alpha 88.
inline constexpr uint32_t kTlfTypeRgba5551 = 0;
inline constexpr uint32_t kTlfTypeIa16 = 1;

inline constexpr size_t kTextureHeaderSize = 64;
/// The largest width and height a TMF image may declare.
inline constexpr int32_t kTmfMaxSide = 65536;

/// The header fields of a TMF file as they stand, sound or not.
struct TmfHeader {
  uint32_t tag = kTmfTag8Bit;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 8;
};

/// The header fields of a TLF file as they stand, sound or not.
struct TlfHeader {
  uint32_t tag = kTlfTag16;
  int32_t count = 16;
  uint32_t type = kTlfTypeRgba5551;
};

/// The tag of a TMF image of `bits` (4 or 8) bits per pixel.
inline uint32_t TmfTagFor(int32_t bits) { return bits == 4 ? kTmfTag4Bit : kTmfTag8Bit; }
/// The tag of a TLF palette of `count` (16 or 256) entries.
inline uint32_t TlfTagFor(int32_t count) { return count == 256 ? kTlfTag256 : kTlfTag16; }

/// The bytes one row of pixels takes in the packed layout: 4-bit width 3 -> 2.
inline uint64_t TmfRowBytes(int32_t width, int32_t bits) {
  return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 7) / 8;
}

/// A TMF file: the header (its first field and its tail zero), then `body`
/// exactly as given.
std::string EncodeTmfFile(const TmfHeader& header, std::string_view body);

/// A TLF file: the header (its tail zero), then `body` exactly as given.
std::string EncodeTlfFile(const TlfHeader& header, std::string_view body);

/// A TMF file of a `width` x `height` picture of colour indices, one a
/// byte, top row first, at `bits` 4 or 8 a pixel: the header, then the
/// packed body, bottom row first (the C array, which lists the rows last
/// first, then begins with the top row). At 4 bits the left pixel of a byte
/// takes its high nibble, and an odd width leaves the low nibble of each
/// row's last byte zero; zero bytes fill the body to a multiple of 4.
/// 3 x 1 at 4 bits, {1, 2, 3} -> header, 12 30 00 00.
std::string EncodeTmf(int32_t width, int32_t height, int32_t bits,
                      std::span<const uint8_t> indices);

/// Fills `indices`, `width` bytes, with the colour indices of row `y`.
using TmfRowSource = std::function<void(int32_t y, std::span<uint8_t> indices)>;

/// The same, each row's indices asked of `row` in turn, top row first: a
/// picture that is made row by row need not be held whole beside its file.
std::string EncodeTmf(int32_t width, int32_t height, int32_t bits, const TmfRowSource& row);

/// The TLF file a `bits`-bit image (4 or 8) takes: palette type `type`,
/// `entries`, then 0x0000 entries up to 16 or 256. Entries past that are
/// left out; no pixel of such an image can index them.
std::string EncodeTlf(uint32_t type, std::span<const uint16_t> entries, int32_t bits);
