#include "image/colour.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "image/palette_builder.h"

namespace {

TEST(Colour, EveryEntryOfBothTypesSurvivesWideningAndReduction) {
  for (uint32_t value = 0; value < 65536; ++value) {
    for (const PaletteType type : {PaletteType::kRgba5551, PaletteType::kIa16}) {
      const auto entry = static_cast<uint16_t>(value);
      uint16_t back = 0;
      ASSERT_TRUE(ToPaletteEntry(FromPaletteEntry(entry, type), type, back));
      ASSERT_EQ(back, entry) << value;
    }
  }
  uint16_t entry = 0x1111;
  EXPECT_FALSE(ToPaletteEntry({0x40, 0x40, 0x41, 0x80}, PaletteType::kIa16, entry));
  EXPECT_EQ(entry, 0x1111);
  EXPECT_TRUE(ToPaletteEntry({0x40, 0x40, 0x40, 0x80}, PaletteType::kIa16, entry));
  EXPECT_EQ(entry, 0x4080);
}

// Reductions pick the nearest level a channel can show, so a colour moves
// as little as the entry type allows.
TEST(Colour, ReductionsPickTheNearestLevel) {
  for (int v = 0; v < 256; ++v)
    for (uint8_t c = 0; c < 32; ++c)
      ASSERT_LE(std::abs(Widen5To8(Reduce8To5(static_cast<uint8_t>(v))) - v),
                std::abs(Widen5To8(c) - v))
          << v;
  for (uint32_t v = 0; v < 65536; ++v)
    ASSERT_LE(std::abs(Reduce16To8(static_cast<uint16_t>(v)) * 257.0 - v), 128.5) << v;
  EXPECT_EQ(ToRgba5551({0, 0, 0, 127}) & 1, 0);  // one bit of alpha: half and up is opaque
  EXPECT_EQ(ToRgba5551({0, 0, 0, 128}) & 1, 1);
}

TEST(PaletteBuilder, FirstSeenOrderUpToTheLimitAndImposedRepeatsAnswerWithTheFirst) {
  CPaletteBuilder counted(3);
  const uint16_t pixels[] = {7, 9, 7, 7, 2, 9, 5, 2};
  const int indices[] = {0, 1, 0, 0, 2, 1, -1, 2};
  for (size_t i = 0; i < std::size(pixels); ++i) EXPECT_EQ(counted.IndexOf(pixels[i]), indices[i]);
  EXPECT_EQ(counted.GetEntries(), (std::vector<uint16_t>{7, 9, 2}));
  EXPECT_EQ(counted.FindFirst(5), -1);

  // An imposed palette keeps its repeats so that it is written back unchanged.
  const std::vector<uint16_t> imposed = {4, 8, 4, 0, 8};
  CPaletteBuilder palette(16);
  EXPECT_TRUE(palette.AppendAll(imposed));
  EXPECT_EQ(palette.GetEntries(), imposed);
  const std::pair<uint16_t, int> lookups[] = {{4, 0}, {8, 1}, {0, 3}, {3, -1}};
  for (const auto& [entry, index] : lookups) EXPECT_EQ(palette.FindFirst(entry), index);
  CPaletteBuilder small(2);
  EXPECT_FALSE(small.AppendAll(imposed));
  EXPECT_EQ(small.GetEntries(), (std::vector<uint16_t>{4, 8}));
}

}  // namespace
