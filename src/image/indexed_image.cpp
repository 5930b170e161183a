#include "image/indexed_image.h"

#include <algorithm>

bool CheckIndexedImage(const CIndexedImageView& image, uint32_t maxSide, size_t maxColours,
                       std::string& message) {
  if (image.width == 0 || image.height == 0) {
    message = "empty picture";
    return false;
  }
  if (image.width > maxSide || image.height > maxSide) {
    message = "picture larger than " + std::to_string(maxSide) + " pixels a side";
    return false;
  }
  // Sides are at most 2^31, so the product fits in 64 bits.
  const uint64_t pixelCount = uint64_t{image.width} * image.height;
  if (image.indices.size() != pixelCount) {
    message = "picture has " + std::to_string(image.indices.size()) + " indices for " +
              std::to_string(pixelCount) + " pixels";
    return false;
  }
  if (image.palette.empty() || image.palette.size() > maxColours) {
    message = "palette of " + std::to_string(image.palette.size()) + " entries (1 to " +
              std::to_string(maxColours) + " allowed)";
    return false;
  }
  const uint8_t highest = *std::max_element(image.indices.begin(), image.indices.end());
  if (highest >= image.palette.size()) {
    message = "index " + std::to_string(highest) + " beyond a palette of " +
              std::to_string(image.palette.size()) + " entries";
    return false;
  }
  return true;
}
