#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/fixture_builder.h"
#include "support/test_support.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

using namespace testing_support;

namespace {

const std::string kAlign = "\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n";

class TextureFileTest : public ::testing::Test {
 protected:
  bool Load(const std::string& bytes) {
    return m_image.Load(m_dir.Write("a.tmf", bytes), m_report);
  }

  TempDir m_dir;
  CTmfImage m_image;
  CTlfPalette m_palette;
  std::string m_boxes;  // every report heard, as "<caption> <message>"
  const LoadReporter m_report = [this](const std::string& caption, const std::string& text) {
    m_boxes += caption + " " + text;
  };
};

std::string Tmf(int32_t bits, int32_t width, int32_t height, const std::string& body) {
  return EncodeTmfFile({TmfTagFor(bits), width, height, bits}, body);
}

TEST_F(TextureFileTest, ImageCTextOfTheWorkedExample) {
  ASSERT_TRUE(Load(MakeCountingTmf(16, 3, 4)));
  std::string def = "kept ";
  m_image.WriteStruct(def, "tmf01");
  EXPECT_EQ(def, "kept static u32 tmf01_img[]" + kAlign +
                     " = {\n\t0x10111213,0x14151617,0x08090a0b,0x0c0d0e0f,\n"
                     "\t0x00010203,0x04050607,\n};\n\nstatic struct qmTMF tmf01" +
                     kAlign +
                     " = {\n\ttmf01_img,\t// image address\n\tG_IM_FMT_CI,\t// image format\n"
                     "\tG_IM_SIZ_4b,\t// image bit size\n\t16,\t// image width\n"
                     "\t3\t// image height\n};\n\n");
  // 6 export bytes: the last value takes two zero bytes.
  ASSERT_TRUE(Load(MakeCountingTmf(2, 3, 8)));
  def.clear();
  m_image.WriteStruct(def, "b");
  EXPECT_NE(def.find(" = {\n\t0x04050203,0x00010000,\n};\n"), std::string::npos);
  EXPECT_NE(def.find("\tG_IM_SIZ_8b,"), std::string::npos);
}

TEST_F(TextureFileTest, ImageExportTellsTheBodyLayoutByLengthAndStopsAtTheLimit) {
  const std::string padded("\x12\x34\xaa\xbb\x56\x78\xcc\xdd", 8);
  const std::pair<std::string, std::vector<uint8_t>> cases[] = {
      {Tmf(4, 3, 2, "\x12\x34\x56\x78"), {0x56, 0x78, 0x12, 0x34}},
      {Tmf(4, 3, 2, padded), {0x56, 0x78, 0x12, 0x34}},
      {Tmf(4, 3, 2, padded + "\x01"), {0x56, 0x78, 0x12, 0x34}},
      {Tmf(8, 4, 2, std::string("\0\1\2\3\4\5", 6)), {4, 5, 0, 0, 0, 1, 2, 3}},  // short
      {Tmf(8, 3, 1, "\xaa\xbb\xcc\xdd"), {0xaa, 0xbb, 0xcc, 0}},  // odd length made even
      {Tmf(8, 0, 5, ""), {}},
      {Tmf(8, 7, 0, "\1\2\3\4"), {}},
  };
  for (const auto& [file, exported] : cases) {
    EXPECT_TRUE(Load(file));
    EXPECT_EQ(m_image.MakeExportBytes(), exported) << &file - &cases[0].first;
  }
  std::string def;
  m_image.WriteStruct(def, "d");
  EXPECT_EQ(def.substr(0, def.find("};")), "static u32 d_img[]" + kAlign + " = {\n");

  // Row r is filled with r % 251, so that rows 510, 511 and 1023 differ;
  // rows of 1024 bytes are packed for width 1024 and word-padded for 1023.
  std::string body;
  for (int row = 0; row < 1024; ++row) body += std::string(1024, static_cast<char>(row % 251));
  for (int32_t width : {1024, 1023}) {
    ASSERT_TRUE(Load(Tmf(8, width, 1024, body)));
    const std::vector<uint8_t> bytes = m_image.MakeExportBytes();
    ASSERT_EQ(bytes.size(), 512u * static_cast<size_t>(width));
    EXPECT_EQ(bytes.front(), 511 % 251);
    EXPECT_EQ(bytes[static_cast<size_t>(width)], 510 % 251);
    EXPECT_EQ(m_image.GetHeight(), 1024);  // the struct still tells the whole image
  }
  // A header of 4 GiB over a 4-byte body: eight rows fit, the body's row last.
  ASSERT_TRUE(Load(Tmf(8, 65536, 65536, "\1\2\3\4")));
  const std::vector<uint8_t> bytes = m_image.MakeExportBytes();
  ASSERT_EQ(bytes.size(), 524288u);
  EXPECT_EQ(bytes[524288 - 65536 + 3], 4);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 524288 - 4);

  // A name far longer than any fixed message buffer is shown whole.
  const std::string missing = m_dir.Path(std::string(5000, 'n') + "\\b.tmf");
  EXPECT_FALSE(m_image.Load(missing, m_report));
  EXPECT_EQ(m_boxes, "[TMF] [" + missing + "] file open failed.\n");
}

// What check reports of a body: its length, its layout and the rows it held
// whole; and the rows the C array keeps of a large picture.
TEST_F(TextureFileTest, ImageTellsWhatItsBodyHeldAndWhatTheExportKeeps) {
  struct Case {
    std::string file;
    bool packed;
    int32_t wholeRows;
  };
  const Case cases[] = {
      {Tmf(4, 3, 2, "\x12\x34\x56\x78"), true, 2},  // packed rows share a byte
      {Tmf(4, 3, 2, std::string(8, '\1')), false, 2},
      {Tmf(8, 5, 3, std::string(13, '\1')), false, 2},  // padded rows of 8: ends at 8 + 5
      {Tmf(8, 4, 16, std::string(12, '\1')), false, 3},
      {Tmf(8, 4, 16, ""), false, 0},
      {Tmf(8, 0, 5, ""), true, 5},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Load(c.file));
    EXPECT_EQ(m_image.GetBody().length, c.file.size() - kTextureHeaderSize);
    EXPECT_EQ(m_image.GetBody().packed, c.packed) << &c - cases;
    EXPECT_EQ(m_image.GetBody().wholeRows, c.wholeRows) << &c - cases;
  }
  ASSERT_TRUE(Load(Tmf(8, 1024, 1024, "")));
  EXPECT_EQ(m_image.GetExportRows(), 512);
  EXPECT_EQ(m_image.GetExportLength(), 524288u);
  ASSERT_TRUE(Load(Tmf(4, 3, 3, "")));
  EXPECT_EQ(m_image.GetExportRows(), 3);
  EXPECT_EQ(m_image.GetExportLength(), 6u);
}

TEST_F(TextureFileTest, PaletteWorkedExampleAndALargePalette) {
  ASSERT_TRUE(m_palette.Load(
      m_dir.Write("a.tlf",
                  MakeTlf({0x0000, 0x7800, 0x03c0, 0x7bc0, 0x001e, 0x781e, 0x03de, 0x7bde, 0xbdee,
                           0xf800, 0x07c0, 0xffc0, 0x003e, 0xf83e, 0x07fe, 0xfffe})),
      m_report));
  std::string def;
  m_palette.WriteData(def, "tlf01");
  EXPECT_EQ(def, "static u16 tlf01[]" + kAlign +
                     " = {\n\t0x0000,0x7800,0x03c0,0x7bc0,0x001e,0x781e,0x03de,0x7bde,0xbdee,"
                     "0xf800,0x07c0,0xffc0,0x003e,0xf83e,0x07fe,0xfffe,\n};\n\n");

  // 256 entries of the other type, and a byte more than they need.
  const std::string large = MakeTlf(std::vector<uint16_t>(256, 0xabcd), kTlfTypeIa16);
  ASSERT_TRUE(m_palette.Load(m_dir.Write("a.tlf", large + "\x99"), m_report));
  def.clear();
  m_palette.WriteData(def, "p");
  EXPECT_TRUE(def.ends_with(",0xabcd,0xabcd,\n};\n\n"));
  EXPECT_EQ(std::count(def.begin(), def.end(), '\n'), 4 + 1 + 16 + 2);  // sixteen full lines
}

}  // namespace
