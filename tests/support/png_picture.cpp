#include "support/png_picture.h"

#include <fstream>

namespace testing_support {

namespace {

bool ReadAll(CPngReader& reader, CPngPicture& picture, std::string& message) {
  picture = CPngPicture();
  if (!reader.ReadHeader(kMaxTestPngPixels, message)) return false;
  const CPngHeader& header = reader.GetHeader();
  CPngPicture read{header.width, header.height, header.indexed, header.palette, {}, {}};
  for (uint32_t y = 0; y < header.height; ++y) {
    if (!reader.ReadRow(message)) return false;
    const auto indices = reader.GetIndices();
    const auto colours = reader.GetColours();
    read.indices.insert(read.indices.end(), indices.begin(), indices.end());
    read.pixels.insert(read.pixels.end(), colours.begin(), colours.end());
  }
  if (!reader.ReadEnd(message)) return false;
  picture = std::move(read);
  return true;
}

}  // namespace

bool ReadPng(std::span<const uint8_t> bytes, CPngPicture& picture, std::string& message) {
  CPngReader reader(bytes);
  return ReadAll(reader, picture, message);
}

bool ReadPngFile(const std::filesystem::path& fileName, CPngPicture& picture,
                 std::string& message) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in.is_open()) {
    picture = CPngPicture();
    message = "cannot open the file";
    return false;
  }
  CPngReader reader(in);
  return ReadAll(reader, picture, message);
}

}  // namespace testing_support
