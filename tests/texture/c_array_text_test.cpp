#include "texture/c_array_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A plain, obviously right formatter to hold the table-driven one against.
std::string ReferenceHexLines(const std::vector<uint8_t>& bytes, int size, size_t perLine) {
  std::string text;
  size_t column = 0;
  for (size_t offset = 0; offset < bytes.size(); offset += static_cast<size_t>(size)) {
    uint32_t value = 0;
    for (size_t at = offset; at < offset + static_cast<size_t>(size); ++at)
      value = (value << 8) | (at < bytes.size() ? bytes[at] : 0);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*x,", size * 2, value);
    if (column == 0) text += '\t';
    text += buffer;
    if (++column == perLine) {
      text += '\n';
      column = 0;
    }
  }
  return column == 0 ? text : text + '\n';
}

TEST(HexLines, MatchTheReferenceForEveryLengthAndSize) {
  std::vector<uint8_t> bytes;
  for (size_t length = 0; length <= 70; ++length) {
    for (int size : {1, 2, 4}) {
      for (size_t perLine : {size_t{16} / static_cast<size_t>(size), size_t{16}, size_t{1}}) {
        std::string text = "keep";
        AppendHexLines(text, bytes, size, perLine);
        EXPECT_EQ(text, "keep" + ReferenceHexLines(bytes, size, perLine))
            << "length " << length << " size " << size << " per line " << perLine;
        EXPECT_EQ(text.size() - 4, HexLinesSize(length, size, perLine));
      }
    }
    bytes.push_back(static_cast<uint8_t>(length * 37 + 0xa5));
  }
}

}  // namespace
