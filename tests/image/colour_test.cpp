#include "image/colour.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

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
  const std::vector<uint16_t> imposed = {5, 9, 5, 1, 9};
  CPaletteBuilder palette(16);
  EXPECT_TRUE(palette.AppendImposed(imposed, PaletteType::kRgba5551));
  EXPECT_EQ(palette.GetEntries(), imposed);
  const std::pair<uint16_t, int> lookups[] = {{5, 0}, {9, 1}, {1, 3}, {3, -1}, {kHiddenEntry, -1}};
  for (const auto& [entry, index] : lookups) EXPECT_EQ(palette.FindFirst(entry), index);
  CPaletteBuilder small(2);
  EXPECT_FALSE(small.AppendImposed(imposed, PaletteType::kRgba5551));
  EXPECT_EQ(small.GetEntries(), (std::vector<uint16_t>{5, 9}));
}

// Pixels nobody can see are one colour, whatever RGB they hide: in RGBA 5551
// every alpha below 128, in intensity/alpha alpha 0 alone (1 to 127 show).
TEST(PaletteBuilder, PixelsNobodySeesTakeOneEntryAtIndexZero) {
  const std::tuple<Rgba8, PaletteType, uint16_t> pixels[] = {
      {{255, 0, 0, 127}, PaletteType::kRgba5551, kHiddenEntry},
      {{255, 0, 0, 128}, PaletteType::kRgba5551, 0xF801},
      {{9, 9, 9, 100}, PaletteType::kIa16, 0x0964},
      {{9, 200, 9, 0}, PaletteType::kIa16, kHiddenEntry}};  // hidden, so no hue to refuse
  for (const auto& [colour, type, expected] : pixels) {
    uint16_t entry = 1;
    EXPECT_TRUE(ToPixelEntry(colour, type, entry));
    EXPECT_EQ(entry, expected) << int{colour.a};
  }

  // A palette built from pixels keeps the hidden entry first, the others in
  // the order first seen; pixels already indexed follow their entries.
  CPaletteBuilder built(256);
  for (const uint16_t pixel : {7, 9, 7, int{kHiddenEntry}, 2, 9}) built.IndexOf(pixel);
  EXPECT_EQ(built.PutHiddenFirst(), (std::vector<int>{1, 2, 0, 3}));
  EXPECT_EQ(built.GetEntries(), (std::vector<uint16_t>{kHiddenEntry, 7, 9, 2}));
  EXPECT_EQ(built.FindFirst(7), 1);
  EXPECT_TRUE(built.PutHiddenFirst().empty());  // in place already

  // An imposed palette serves hidden pixels with its first entry that shows
  // nothing, whatever colour that holds; IA16 shows alpha 1 to 255.
  const std::vector<uint16_t> imposed = {0xF801, 0x0702, 0xF800, 0x0000};
  CPaletteBuilder rgba(256);
  rgba.AppendImposed(imposed, PaletteType::kRgba5551);
  EXPECT_EQ(rgba.FindFirst(kHiddenEntry), 1);
  CPaletteBuilder ia16(256);
  ia16.AppendImposed(imposed, PaletteType::kIa16);
  EXPECT_EQ(ia16.FindFirst(kHiddenEntry), 2);
}

}  // namespace
