// A PNG read whole, for tests that compare pictures: the rows CPngReader
// gives, one after the other.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "image/png_reader.h"

namespace testing_support {

/// A picture read from a PNG file.
struct CPngPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  /// True for a palette file: `palette` and `indices` hold it, `pixels` is empty.
  bool indexed = false;
  std::vector<Rgba8> palette;
  std::vector<uint8_t> indices;  // indexed: one a pixel, rows top to bottom
  std::vector<Rgba8> pixels;     // not indexed: one a pixel, rows top to bottom
};

/// The largest picture the tests read: 2^28 pixels, 1 GiB as RGBA.
inline constexpr uint64_t kMaxTestPngPixels = uint64_t{1} << 28;

/// Reads a whole PNG from `bytes` into `picture`. False with the reader's
/// reason in `message`, and `picture` empty.
bool ReadPng(std::span<const uint8_t> bytes, CPngPicture& picture, std::string& message);

/// The same, from the file `fileName`; "cannot open the file" when it cannot be opened.
bool ReadPngFile(const std::filesystem::path& fileName, CPngPicture& picture, std::string& message);

}  // namespace testing_support
