// PNG files from arbitrary bytes: a read either fails cleanly with a reason,
// or gives a picture whose sizes hold; an indexed picture whose indices all
// lie in its palette is written again and reads back unchanged.
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "image/png_writer.h"
#include "support/png_picture.h"

using testing_support::CPngPicture;
using testing_support::ReadPng;

namespace {

using fuzz_support::Require;

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
  Require(WriteIndexedPng(view, depth, png, message), "a palette picture read is written");
  CPngPicture back;
  Require(ReadPng(png, back, message), "a written picture reads");
  Require(back.indexed && back.width == picture.width && back.height == picture.height,
          "the written picture keeps its size");
  Require(back.indices == picture.indices, "the written picture keeps its indices");
  Require(back.palette == picture.palette, "the written picture keeps its palette");
}

}  // namespace

int FuzzPng(const uint8_t* data, size_t size) {
  CPngPicture picture;
  std::string message;
  if (!ReadPng(std::span(data, size), picture, message)) {
    Require(!message.empty(), "a failed read says why");
    return 0;
  }
  const uint64_t pixelCount = uint64_t{picture.width} * picture.height;
  Require(pixelCount > 0, "a picture read has pixels");
  if (!picture.indexed) {
    Require(picture.pixels.size() == pixelCount, "one colour a pixel");
    Require(picture.indices.empty() && picture.palette.empty(), "no palette without indices");
    return 0;
  }
  Require(picture.indices.size() == pixelCount, "one index a pixel");
  Require(picture.pixels.empty(), "no colours beside indices");
  Require(picture.palette.size() <= 256, "at most 256 palette entries");
  if (!picture.palette.empty() && IndicesInPalette(picture)) CheckRewrite(picture);
  return 0;
}
