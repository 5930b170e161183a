#include "texture/tmf_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "box_capture.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class TmfImageTest : public ::testing::Test {
 protected:
  bool Load(const std::string& bytes) { return m_image.Load(m_dir.Write("a.tmf", bytes)); }

  std::string Data(int32_t elementSize, int32_t storage = 1) {
    std::string decl;
    std::string def;
    EXPECT_TRUE(m_image.WriteData(decl, def, storage, false, false, elementSize, "d"));
    return decl + def;
  }

  TempDir m_dir;
  CTmfImage m_image;
  CBoxCapture m_boxes;
};

std::string Tmf8(int32_t width, int32_t height, const std::string& body) {
  return MakeTmf(kTmfTag8Bit, width, height, 8, body);
}

TEST_F(TmfImageTest, WorkedExampleInEveryStorageAndForm) {
  ASSERT_TRUE(Load(MakeCountingTmf(16, 3, 4)));
  const std::string align = "\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n";
  const std::string data =
      "\t0x10111213,0x14151617,0x08090a0b,0x0c0d0e0f,\n\t0x00010203,0x04050607,\n};\n\n";
  const std::string fields =
      "\ttmf01_img,\t// image address\n\tG_IM_FMT_CI,\t// image format\n"
      "\tG_IM_SIZ_4b,\t// image bit size\n\t16,\t// image width\n\t3\t// image height\n};\n\n";
  std::string decl;
  std::string def;
  ASSERT_TRUE(m_image.WriteStruct(decl, def, 1, false, true, "tmf01"));
  EXPECT_EQ(def, "static u32 tmf01_img[]" + align + " = {\n" + data + "static struct qmTMF tmf01" +
                     align + " = {\n" + fields);
  EXPECT_EQ(decl, "");

  // The array stays static whatever the struct's storage; texts are only appended to.
  def = "X";
  ASSERT_TRUE(m_image.WriteStruct(decl, def, 0, false, false, "tmf01"));
  EXPECT_EQ(def,
            "Xstatic u32 tmf01_img[] = {\n" + data + "extern struct qmTMF tmf01 = {\n" + fields);
  ASSERT_TRUE(m_image.WriteStruct(decl, def, 2, true, false, "tmf01"));
  EXPECT_TRUE(def.ends_with("static const u32 tmf01_img[] = {\n" + data +
                            "const struct qmTMF tmf01 = {\n" + fields));
  EXPECT_EQ(decl, "extern struct qmTMF tmf01;\nconst struct qmTMF tmf01;\n");
  EXPECT_TRUE(m_boxes.Take().empty());
}

TEST_F(TmfImageTest, ElementSizesAndTheZeroFilledLastValue) {
  ASSERT_TRUE(Load(MakeCountingTmf(16, 3, 4)));
  EXPECT_EQ(Data(1, 0),
            "extern u8 d[];\nextern u8 d[] = {\n"
            "\t0x10,0x11,0x12,0x13,0x14,0x15,0x16,0x17,0x08,0x09,0x0a,0x0b,0x0c,0x0d,0x0e,0x0f,\n"
            "\t0x00,0x01,0x02,0x03,0x04,0x05,0x06,0x07,\n};\n\n");
  EXPECT_EQ(Data(2),
            "static u16 d[] = {\n\t0x1011,0x1213,0x1415,0x1617,0x0809,0x0a0b,0x0c0d,0x0e0f,\n"
            "\t0x0001,0x0203,0x0405,0x0607,\n};\n\n");
  for (int32_t size : {0, 3, 5}) {
    std::string decl = "D";
    std::string def = "X";
    EXPECT_FALSE(m_image.WriteData(decl, def, 0, false, false, size, "d")) << size;
    EXPECT_EQ(decl + def, "DX");
  }

  // 6 export bytes (4k + 2) and 3 (odd): no row supplies the last bytes.
  ASSERT_TRUE(Load(MakeCountingTmf(2, 3, 8)));
  EXPECT_EQ(Data(4), "static u32 d[] = {\n\t0x04050203,0x00010000,\n};\n\n");
  ASSERT_TRUE(Load(Tmf8(3, 1, "\xaa\xbb\xcc\xdd")));
  EXPECT_EQ(m_image.MakeExportBytes(), (std::vector<uint8_t>{0xaa, 0xbb, 0xcc, 0}));
  EXPECT_EQ(Data(4), "static u32 d[] = {\n\t0xaabbcc00,\n};\n\n");
}

TEST_F(TmfImageTest, BodyLayoutIsToldApartByLength) {
  const std::string padded("\x12\x34\xaa\xbb\x56\x78\xcc\xdd", 8);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
      {MakeTmf(kTmfTag4Bit, 3, 2, 4, "\x12\x34\x56\x78"), {0x56, 0x78, 0x12, 0x34}},
      {MakeTmf(kTmfTag4Bit, 3, 2, 4, padded), {0x56, 0x78, 0x12, 0x34}},
      {MakeTmf(kTmfTag4Bit, 3, 2, 4, padded + "\x01"), {0x56, 0x78, 0x12, 0x34}},
      {Tmf8(4, 2, std::string("\0\1\2\3\4\5", 6)), {4, 5, 0, 0, 0, 1, 2, 3}},  // short
      {Tmf8(2, 2, ""), {0, 0, 0, 0}},
      {Tmf8(0, 5, ""), {}},
      {Tmf8(7, 0, "\1\2\3\4"), {}},
  };
  for (const auto& [file, exported] : cases) {
    EXPECT_TRUE(Load(file));
    EXPECT_EQ(m_image.MakeExportBytes(), exported) << &file - &cases[0].first;
  }
  EXPECT_EQ(Data(4), "static u32 d[] = {\n};\n\n");
  EXPECT_TRUE(m_boxes.Take().empty());
}

// Rows of `stride` bytes, each filled with its row number, high byte first:
// packed when the stride is the width, word-padded when it is more.
std::string NumberedRows(int32_t width, int32_t height, int32_t stride) {
  std::string body;
  for (int32_t row = 0; row < height; ++row) {
    std::string line(static_cast<size_t>(stride), static_cast<char>(row & 0xff));
    line[0] = static_cast<char>(row >> 8);
    body += line;
  }
  return Tmf8(width, height, body);
}

TEST_F(TmfImageTest, ExportStopsAtTheLimitWithRowsLastFirst) {
  ASSERT_TRUE(Load(NumberedRows(1024, 1024, 1024)));
  std::vector<uint8_t> bytes = m_image.MakeExportBytes();
  ASSERT_EQ(bytes.size(), 524288u);
  EXPECT_EQ(bytes[1], 0xff);               // row 511 comes first
  EXPECT_EQ(bytes[524288 - 1024 + 1], 0);  // and row 0 last
  std::string decl;
  std::string def;
  ASSERT_TRUE(m_image.WriteStruct(decl, def, 1, false, false, "t"));
  EXPECT_NE(def.find("\t1024,\t// image width\n\t1024\t// image height\n"), std::string::npos);
  EXPECT_EQ(std::count(def.begin(), def.end(), '\n'), 32768 + 11);

  // Word-padded rows of 1023 bytes: 512 rows fit, row 511 first.
  ASSERT_TRUE(Load(NumberedRows(1023, 1024, 1024)));
  bytes = m_image.MakeExportBytes();
  ASSERT_EQ(bytes.size(), 512u * 1023u);
  EXPECT_EQ(bytes[1024], 0xfe);  // row 510's second byte

  // A header of 4 GiB over a 4-byte body: eight rows fit, the body's row last.
  ASSERT_TRUE(Load(Tmf8(65536, 65536, "\1\2\3\4")));
  bytes = m_image.MakeExportBytes();
  ASSERT_EQ(bytes.size(), 524288u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 65536, bytes.end() - 65532),
            (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 524288 - 4);
}

TEST_F(TmfImageTest, EveryLoadErrorIsShownAndEmptiesTheImage) {
  const std::string path = m_dir.Path("a.tmf");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(63, '\0'), "[TMF] [" + path + "] file read failed.\n"},
      {MakeTmf(kTmfTag4Bit, 2, 2, 8, ""), "[TMF] improper tag=0x120200, bits=8\n"},
      {MakeTmf(0, 2, 2, 4, ""), "[TMF] improper tag=0x0, bits=4\n"},
      {Tmf8(65537, 1, ""), "[TMF] not enough memory for create TMF.\n"},
      {Tmf8(1, -1, ""), "[TMF] not enough memory for create TMF.\n"},
  };
  for (const auto& [file, message] : cases) {
    ASSERT_TRUE(Load(Tmf8(4, 4, std::string(16, '\x01'))));
    EXPECT_FALSE(Load(file));
    EXPECT_EQ(m_boxes.Take(), std::vector<std::string>{message});
    EXPECT_EQ(m_image.GetWidth() + m_image.GetHeight() + m_image.GetBitsPerPixel(), 0);
    EXPECT_TRUE(m_image.MakeExportBytes().empty());
  }
  const std::string missing = m_dir.Path("none\\b.tmf");
  EXPECT_FALSE(m_image.Load(missing));
  EXPECT_EQ(m_boxes.Take(),
            std::vector<std::string>{"[TMF] [" + missing + "] file open failed.\n"});
}

}  // namespace
