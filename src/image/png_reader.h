// PNG pictures in: every file libpng accepts, as colour indices with their
// palette when the file has one, as 8-bit RGBA otherwise. Values are taken
// as stored: no gamma or colour-space conversion is applied.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <span>
#include <string>
#include <vector>

#include "image/colour.h"

/// A picture read from a PNG file.
struct CPngPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  /// True for a palette file: `palette` and `indices` hold it, `pixels` is empty.
  bool indexed = false;
  /// Indexed: the PLTE entries in order, unused ones included, each with its
  /// tRNS alpha (255 where tRNS gives none).
  std::vector<Rgba8> palette;
  /// Indexed: one index a pixel, rows top to bottom. A PNG may hold indices
  /// beyond its palette; they are kept as they are.
  std::vector<uint8_t> indices;
  /// Not indexed: one colour a pixel, rows top to bottom. Grey becomes
  /// r = g = b; 1, 2 and 4-bit grey is scaled to 8 bits (4-bit 0x7 -> 0x77);
  /// 16-bit channels are reduced by Reduce16To8; a tRNS colour key becomes
  /// alpha 0 and every other pixel of a file without alpha alpha 255.
  std::vector<Rgba8> pixels;
};

/// The largest picture read: 2^28 pixels (1 GiB as RGBA). Larger ones are
/// refused before any pixel memory is taken.
inline constexpr uint64_t kMaxPngPixels = uint64_t{1} << 28;

/// Reads a whole PNG from `in`, which is left after the IEND chunk. On
/// success `picture` holds it. On failure `message` says why in a few plain
/// words ("not a PNG file", "truncated PNG data", "picture of 70000 x 70000
/// pixels is too large", or libpng's own text for a damaged file) and
/// `picture` is empty. Nothing throws.
bool ReadPng(std::istream& in, CPngPicture& picture, std::string& message);

/// The same, from bytes in memory.
bool ReadPng(std::span<const uint8_t> bytes, CPngPicture& picture, std::string& message);

/// The same, from the file `fileName`; "cannot open the file" when it cannot be opened.
bool ReadPngFile(const std::filesystem::path& fileName, CPngPicture& picture, std::string& message);
