#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/fixture_builder.h"
#include "support/test_support.h"
#include "texture/error_box.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

using namespace testing_support;

namespace {

class TextureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorReporter([this](const std::string& caption, const std::string& text) {
      m_boxes += caption + " " + text;
    });
  }
  void TearDown() override { SetErrorReporter({}); }
  bool Load(const std::string& bytes) { return m_image.Load(m_dir.Write("a.tmf", bytes)); }
  std::string Data(int32_t elementSize, int32_t storage = 1) {
    std::string decl;
    std::string def;
    EXPECT_TRUE(m_image.WriteData(decl, def, storage, false, false, elementSize, "d"));
    return decl + def;
  }

  TempDir m_dir;
  CTmfImage m_image;
  CTlfPalette m_palette;
  std::string m_boxes;  // every box shown, as "<caption> <message>"
};

std::string Tmf8(int32_t width, int32_t height, const std::string& body) {
  return MakeTmf(kTmfTag8Bit, width, height, 8, body);
}

TEST_F(TextureFileTest, ImageCTextOfTheWorkedExampleAndOfEveryElementSize) {
  ASSERT_TRUE(Load(MakeCountingTmf(16, 3, 4)));
  const std::string align = "\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n";
  const std::string data =
      "\t0x10111213,0x14151617,0x08090a0b,0x0c0d0e0f,\n\t0x00010203,0x04050607,\n};\n\n";
  const std::string fields =
      "\ttmf01_img,\t// image address\n\tG_IM_FMT_CI,\t// image format\n"
      "\tG_IM_SIZ_4b,\t// image bit size\n\t16,\t// image width\n\t3\t// image height\n};\n\n";
  const std::string worked = "static u32 tmf01_img[]" + align + " = {\n" + data +
                             "static struct qmTMF tmf01" + align + " = {\n" + fields;
  std::string decl;
  std::string def;
  ASSERT_TRUE(m_image.WriteStruct(decl, def, 1, false, true, "tmf01"));
  EXPECT_EQ(def, worked);
  // The array stays static whatever the struct's storage; texts are only appended to.
  ASSERT_TRUE(m_image.WriteStruct(decl, def, 2, true, false, "tmf01"));
  EXPECT_EQ(def, worked + "static const u32 tmf01_img[] = {\n" + data +
                     "const struct qmTMF tmf01 = {\n" + fields);
  EXPECT_EQ(decl, "const struct qmTMF tmf01;\n");

  ASSERT_TRUE(Load(MakeCountingTmf(2, 3, 8)));  // 6 export bytes: 4k + 2
  EXPECT_EQ(Data(1, 0),
            "extern u8 d[];\nextern u8 d[] = {\n\t0x04,0x05,0x02,0x03,0x00,0x01,\n};\n\n");
  EXPECT_EQ(Data(2), "static u16 d[] = {\n\t0x0405,0x0203,0x0001,\n};\n\n");
  EXPECT_EQ(Data(4), "static u32 d[] = {\n\t0x04050203,0x00010000,\n};\n\n");
  std::string text;
  for (int size : {0, 3, 5})
    EXPECT_FALSE(m_image.WriteData(text, text, 0, false, false, size, "d"));
  EXPECT_EQ(text, "");
}

TEST_F(TextureFileTest, ImageExportTellsTheBodyLayoutByLengthAndStopsAtTheLimit) {
  const std::string padded("\x12\x34\xaa\xbb\x56\x78\xcc\xdd", 8);
  const std::pair<std::string, std::vector<uint8_t>> cases[] = {
      {MakeTmf(kTmfTag4Bit, 3, 2, 4, "\x12\x34\x56\x78"), {0x56, 0x78, 0x12, 0x34}},
      {MakeTmf(kTmfTag4Bit, 3, 2, 4, padded), {0x56, 0x78, 0x12, 0x34}},
      {MakeTmf(kTmfTag4Bit, 3, 2, 4, padded + "\x01"), {0x56, 0x78, 0x12, 0x34}},
      {Tmf8(4, 2, std::string("\0\1\2\3\4\5", 6)), {4, 5, 0, 0, 0, 1, 2, 3}},  // short
      {Tmf8(3, 1, "\xaa\xbb\xcc\xdd"), {0xaa, 0xbb, 0xcc, 0}},  // odd length made even
      {Tmf8(0, 5, ""), {}},
      {Tmf8(7, 0, "\1\2\3\4"), {}},
  };
  for (const auto& [file, exported] : cases) {
    EXPECT_TRUE(Load(file));
    EXPECT_EQ(m_image.MakeExportBytes(), exported) << &file - &cases[0].first;
  }
  EXPECT_EQ(Data(4), "static u32 d[] = {\n};\n\n");

  // Row r is filled with r % 251, so that rows 510, 511 and 1023 differ;
  // rows of 1024 bytes are packed for width 1024 and word-padded for 1023.
  std::string body;
  for (int row = 0; row < 1024; ++row) body += std::string(1024, static_cast<char>(row % 251));
  for (int32_t width : {1024, 1023}) {
    ASSERT_TRUE(Load(Tmf8(width, 1024, body)));
    const std::vector<uint8_t> bytes = m_image.MakeExportBytes();
    ASSERT_EQ(bytes.size(), 512u * static_cast<size_t>(width));
    EXPECT_EQ(bytes.front(), 511 % 251);
    EXPECT_EQ(bytes[static_cast<size_t>(width)], 510 % 251);
    EXPECT_EQ(m_image.GetHeight(), 1024);  // the struct still tells the whole image
  }
  // A header of 4 GiB over a 4-byte body: eight rows fit, the body's row last.
  ASSERT_TRUE(Load(Tmf8(65536, 65536, "\1\2\3\4")));
  const std::vector<uint8_t> bytes = m_image.MakeExportBytes();
  ASSERT_EQ(bytes.size(), 524288u);
  EXPECT_EQ(bytes[524288 - 65536 + 3], 4);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 524288 - 4);
}

TEST_F(TextureFileTest, EveryImageLoadErrorIsShownAndEmptiesTheImage) {
  const std::string path = m_dir.Path("a.tmf");
  const std::pair<std::string, std::string> cases[] = {
      {std::string(63, '\0'), "[TMF] [" + path + "] file read failed.\n"},
      {MakeTmf(kTmfTag4Bit, 2, 2, 8, ""), "[TMF] improper tag=0x120200, bits=8\n"},
      {MakeTmf(0, 2, 2, -4, ""), "[TMF] improper tag=0x0, bits=-4\n"},
      {Tmf8(65537, 1, ""), "[TMF] not enough memory for create TMF.\n"},
      {Tmf8(1, -1, ""), "[TMF] not enough memory for create TMF.\n"},
  };
  for (const auto& [file, message] : cases) {
    ASSERT_TRUE(Load(Tmf8(4, 4, std::string(16, '\x01'))));
    EXPECT_FALSE(Load(file));
    EXPECT_EQ(std::exchange(m_boxes, ""), message);
    EXPECT_EQ(m_image.GetWidth() + m_image.GetHeight() + m_image.GetBitsPerPixel(), 0);
  }
  // A name far longer than any fixed message buffer is shown whole.
  const std::string missing = m_dir.Path(std::string(5000, 'n') + "\\b.tmf");
  EXPECT_FALSE(m_image.Load(missing));
  EXPECT_EQ(m_boxes, "[TMF] [" + missing + "] file open failed.\n");
}

TEST_F(TextureFileTest, PaletteWorkedExampleAndALargeConstPalette) {
  ASSERT_TRUE(m_palette.Load(m_dir.Write(
      "a.tlf", MakeTlf(kTlfTag16, 16, 0,
                       {0x0000, 0x7800, 0x03c0, 0x7bc0, 0x001e, 0x781e, 0x03de, 0x7bde, 0xbdee,
                        0xf800, 0x07c0, 0xffc0, 0x003e, 0xf83e, 0x07fe, 0xfffe}))));
  std::string decl;
  std::string def;
  ASSERT_TRUE(m_palette.WriteData(decl, def, 1, false, true, "tlf01"));
  EXPECT_EQ(def,
            "static u16 tlf01[]\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n = {\n"
            "\t0x0000,0x7800,0x03c0,0x7bc0,0x001e,0x781e,0x03de,0x7bde,0xbdee,0xf800,0x07c0,0xffc0,"
            "0x003e,0xf83e,0x07fe,0xfffe,\n};\n\n");

  // 256 entries of the other type, and a byte more than they need.
  const std::string large = MakeTlf(kTlfTag256, 256, 1, std::vector<uint16_t>(256, 0xabcd));
  ASSERT_TRUE(m_palette.Load(m_dir.Write("a.tlf", large + "\x99")));
  def.clear();
  ASSERT_TRUE(m_palette.WriteData(decl, def, 0, true, false, "p"));
  EXPECT_TRUE(def.ends_with(",0xabcd,0xabcd,\n};\n\n"));
  EXPECT_EQ(std::count(def.begin(), def.end(), '\n'), 1 + 16 + 2);  // sixteen full lines
  EXPECT_EQ(decl, "extern const u16 p[];\n");
}

TEST_F(TextureFileTest, PaletteHeaderErrorsKeepTheEntriesBodyErrorsDropThem) {
  const std::string path = m_dir.Path("a.tlf");
  // File, message, and whether the entries 7, 8, ... loaded before are kept.
  const std::tuple<std::string, std::string, bool> cases[] = {
      {std::string(63, '\0'), "incorrect header size", true},
      {MakeTlf(kTlfTag16, 256, 0, {}), "incorrect header information", true},
      {MakeTlf(kTlfTag256, 16, 0, {}), "incorrect header information", true},
      {MakeTlf(kTlfTag16, 16, 2, {}), "incorrect header information", true},
      {MakeSimpleTlf(16).substr(0, 64 + 31), "incorrect body size", false},
  };
  for (const auto& [file, message, kept] : cases) {
    ASSERT_TRUE(m_palette.Load(m_dir.Write("a.tlf", MakeSimpleTlf(16, 7))));
    EXPECT_FALSE(m_palette.Load(m_dir.Write("a.tlf", file)));
    EXPECT_EQ(std::exchange(m_boxes, ""), "[TLF] [" + path + "] " + message + ".\n");
    const std::vector<uint16_t>& entries = m_palette.GetEntries();
    EXPECT_EQ(entries.empty() ? -1 : entries.front(), kept ? 7 : -1);
  }
  EXPECT_FALSE(m_palette.Load(m_dir.Path("none.tlf")));
  EXPECT_EQ(m_boxes, "[TLF] [" + m_dir.Path("none.tlf") + "] file open failed.\n");
}

}  // namespace
