#include "texture/c_array_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A plain, obviously right formatter to hold the table-driven one against.
std::string ReferenceHexLines(const std::vector<uint8_t>& bytes, size_t size, size_t perLine) {
  std::string text;
  for (size_t offset = 0; offset < bytes.size(); offset += size) {
    uint32_t value = 0;
    for (size_t at = offset; at < offset + size; ++at)
      value = value << 8 | (at < bytes.size() ? bytes[at] : 0);
    const size_t column = offset / size % perLine;
    text += column == 0 ? "\t0x" : "0x";
    for (size_t digit = size * 2; digit-- > 0;)
      text += "0123456789abcdef"[(value >> (4 * digit)) & 15];
    text += ',';
    if (column + 1 == perLine || offset + size >= bytes.size()) text += '\n';
  }
  return text;
}

// The formatter writes into room it measured itself: a miscount shows as a
// wrong text here, and as a write out of bounds under the sanitizers.
TEST(HexLines, MatchTheReferenceForEveryLengthAndSize) {
  std::vector<uint8_t> bytes;
  for (size_t length = 0; length <= 70; ++length) {
    for (size_t size : {2, 4}) {
      for (size_t perLine : {16 / size, size_t{16}, size_t{1}}) {
        std::string text = "keep";
        AppendHexLines(text, bytes, static_cast<int32_t>(size), perLine);
        EXPECT_EQ(text, "keep" + ReferenceHexLines(bytes, size, perLine))
            << "length " << length << " size " << size << " per line " << perLine;
      }
    }
    bytes.push_back(static_cast<uint8_t>(length * 37 + 0xa5));
  }
}

}  // namespace
