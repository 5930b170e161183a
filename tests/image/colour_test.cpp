#include "image/colour.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "image/palette_builder.h"

namespace {

TEST(Colour, EveryEntryOfBothTypesSurvivesWideningAndReduction) {
  for (uint32_t value = 0; value < 65536; ++value) {
    const auto entry = static_cast<uint16_t>(value);
    ASSERT_EQ(ToRgba5551(FromRgba5551(entry)), entry) << value;
    uint16_t grey = 0;
    ASSERT_TRUE(ToIa16(FromIa16(entry), grey)) << value;
    ASSERT_EQ(grey, entry) << value;
    for (const PaletteType type : {PaletteType::kRgba5551, PaletteType::kIa16}) {
      uint16_t back = 0;
      ASSERT_TRUE(ToPaletteEntry(FromPaletteEntry(entry, type), type, back));
      ASSERT_EQ(back, entry) << value;
    }
  }
}

// Reduction picks the nearest level a channel can show, so an artist's
// colour moves as little as the entry type allows.
TEST(Colour, ReductionsPickTheNearestLevel) {
  for (int v = 0; v < 256; ++v) {
    const int kept = Widen5To8(Reduce8To5(static_cast<uint8_t>(v)));
    for (uint8_t c = 0; c < 32; ++c)
      ASSERT_LE(std::abs(kept - v), std::abs(Widen5To8(c) - v)) << v;
  }
  for (uint32_t v = 0; v < 65536; ++v)
    ASSERT_LE(std::abs(Reduce16To8(static_cast<uint16_t>(v)) * 65535.0 / 255.0 - v), 65535.0 / 510)
        << v;
  // Alpha is one bit in RGBA 5551: half and above is opaque.
  EXPECT_EQ(ToRgba5551({0, 0, 0, 127}) & 1, 0);
  EXPECT_EQ(ToRgba5551({0, 0, 0, 128}) & 1, 1);
}

TEST(Colour, IntensityAlphaHoldsOnlyGrey) {
  uint16_t entry = 0x1111;
  EXPECT_FALSE(ToIa16({10, 10, 11, 255}, entry));
  EXPECT_FALSE(ToPaletteEntry({0, 1, 0, 255}, PaletteType::kIa16, entry));
  EXPECT_EQ(entry, 0x1111);
  EXPECT_TRUE(ToPaletteEntry({0x40, 0x40, 0x40, 0x80}, PaletteType::kIa16, entry));
  EXPECT_EQ(entry, 0x4080);
}

TEST(PaletteBuilder, EntriesTakeIndicesInFirstSeenOrderUpToTheLimit) {
  CPaletteBuilder palette(3);
  const uint16_t pixels[] = {7, 9, 7, 7, 2, 9, 5, 2};
  const int expected[] = {0, 1, 0, 0, 2, 1, -1, 2};
  for (size_t i = 0; i < std::size(pixels); ++i)
    EXPECT_EQ(palette.IndexOf(pixels[i]), expected[i]) << i;
  EXPECT_EQ(palette.GetEntries(), (std::vector<uint16_t>{7, 9, 2}));
  EXPECT_TRUE(palette.IsFull());
  EXPECT_EQ(palette.FindFirst(5), -1);
}

// An imposed palette may repeat a colour: pixels take its first entry, and
// the repeats keep their places so the palette is written back unchanged.
TEST(PaletteBuilder, AnImposedPaletteKeepsRepeatsAndAnswersWithTheFirst) {
  CPaletteBuilder palette(16);
  const std::vector<uint16_t> imposed = {4, 8, 4, 0, 8};
  EXPECT_TRUE(palette.AppendAll(imposed));
  EXPECT_EQ(palette.GetEntries(), imposed);
  EXPECT_EQ(palette.FindFirst(4), 0);
  EXPECT_EQ(palette.FindFirst(8), 1);
  EXPECT_EQ(palette.FindFirst(0), 3);
  EXPECT_EQ(palette.FindFirst(3), -1);
  CPaletteBuilder small(2);
  EXPECT_FALSE(small.AppendAll(imposed));
  EXPECT_EQ(small.GetEntries(), (std::vector<uint16_t>{4, 8}));
}

}  // namespace
