// PNG files from arbitrary bytes: a read either fails cleanly with a reason,
// or gives a picture whose sizes hold; an indexed picture whose indices all
// lie in its palette is written again and reads back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "image/png_reader.h"
#include "image/png_writer.h"

/// The bytes as a PNG file in memory; returns 0, aborts on a broken promise.
/// Declared here rather than in fuzz_entries.h: the fuzz CMake file wires it
/// into its targets.
int FuzzPng(const uint8_t* data, size_t size);

namespace {

void RequirePng(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
  std::abort();
}

bool IsEmpty(const CPngPicture& picture) {
  return picture.width == 0 && picture.height == 0 && picture.palette.empty() &&
         picture.indices.empty() && picture.pixels.empty();
}

// A PNG may index past its palette; only a picture that does not can be
// written as it was read.
bool IndicesInPalette(const CPngPicture& picture) {
  return std::all_of(picture.indices.begin(), picture.indices.end(),
                     [&](uint8_t index) { return index < picture.palette.size(); });
}

void CheckRewrite(const CPngPicture& picture) {
  const int depth = picture.palette.size() <= 16 ? 4 : 8;
  const CIndexedImageView view{picture.width, picture.height, picture.indices, picture.palette};
  std::vector<uint8_t> png;
  std::string message;
  RequirePng(WriteIndexedPng(view, depth, png, message), "a palette picture read is written");
  CPngPicture back;
  RequirePng(ReadPng(png, back, message), "a written picture reads");
  RequirePng(back.indexed && back.width == picture.width && back.height == picture.height,
             "the written picture keeps its size");
  RequirePng(back.indices == picture.indices, "the written picture keeps its indices");
  RequirePng(back.palette == picture.palette, "the written picture keeps its palette");
}

}  // namespace

int FuzzPng(const uint8_t* data, size_t size) {
  CPngPicture picture;
  std::string message;
  if (!ReadPng(std::span(data, size), picture, message)) {
    RequirePng(!message.empty(), "a failed read says why");
    RequirePng(IsEmpty(picture), "a failed read leaves no picture");
    return 0;
  }
  const uint64_t pixelCount = uint64_t{picture.width} * picture.height;
  RequirePng(pixelCount > 0 && pixelCount <= kMaxPngPixels, "a picture read is within limits");
  if (!picture.indexed) {
    RequirePng(picture.pixels.size() == pixelCount, "one colour a pixel");
    RequirePng(picture.indices.empty() && picture.palette.empty(), "no palette without indices");
    return 0;
  }
  RequirePng(picture.indices.size() == pixelCount, "one index a pixel");
  RequirePng(picture.pixels.empty(), "no colours beside indices");
  RequirePng(picture.palette.size() <= 256, "at most 256 palette entries");
  if (!picture.palette.empty() && IndicesInPalette(picture)) CheckRewrite(picture);
  return 0;
}
