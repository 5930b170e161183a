#include "texture/tlf_palette.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "box_capture.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

class TlfPaletteTest : public ::testing::Test {
 protected:
  bool Load(const std::string& bytes) { return m_palette.Load(m_dir.Write("a.tlf", bytes)); }

  TempDir m_dir;
  CTlfPalette m_palette;
  CBoxCapture m_boxes;
};

TEST_F(TlfPaletteTest, WorkedExampleInEveryForm) {
  ASSERT_TRUE(Load(MakeTlf(kTlfTag16, 16, 0,
                           {0x0000, 0x7800, 0x03c0, 0x7bc0, 0x001e, 0x781e, 0x03de, 0x7bde, 0xbdee,
                            0xf800, 0x07c0, 0xffc0, 0x003e, 0xf83e, 0x07fe, 0xfffe})));
  const std::string values =
      "\t0x0000,0x7800,0x03c0,0x7bc0,0x001e,0x781e,0x03de,0x7bde,0xbdee,0xf800,0x07c0,0xffc0,"
      "0x003e,0xf83e,0x07fe,0xfffe,\n};\n\n";
  std::string decl;
  std::string def;
  ASSERT_TRUE(m_palette.WriteData(decl, def, 1, false, true, "tlf01"));
  EXPECT_EQ(def,
            "static u16 tlf01[]\n#ifdef __GNUC__\n __attribute__((aligned (8)))\n#endif\n = {\n" +
                values);
  ASSERT_TRUE(m_palette.WriteData(decl, def, 1, false, false, "tlf01"));
  EXPECT_TRUE(def.ends_with("};\n\nstatic u16 tlf01[] = {\n" + values));
  EXPECT_EQ(decl, "");
  ASSERT_TRUE(m_palette.WriteData(decl, def, 0, true, false, "tlf01"));
  EXPECT_TRUE(def.ends_with("};\n\nextern const u16 tlf01[] = {\n" + values));
  EXPECT_EQ(decl, "extern const u16 tlf01[];\n");
}

TEST_F(TlfPaletteTest, LargePaletteIsSixteenFullLinesAndLongBodiesLoad) {
  std::vector<uint16_t> entries(256, 0x1234);
  entries[255] = 0xabcd;
  ASSERT_TRUE(Load(MakeTlf(kTlfTag256, 256, 1, entries) + "\x99"));
  std::string decl;
  std::string def;
  ASSERT_TRUE(m_palette.WriteData(decl, def, 2, false, false, "p"));
  std::string line = "\t";
  for (int i = 0; i < 16; ++i) line += "0x1234,";
  std::string expected = "u16 p[] = {\n";
  for (int i = 0; i < 16; ++i) expected += line + "\n";
  expected.replace(expected.size() - 8, 7, "0xabcd,");
  EXPECT_EQ(def, expected + "};\n\n");
  EXPECT_EQ(decl, "u16 p[];\n");
  EXPECT_TRUE(m_boxes.Take().empty());
}

TEST_F(TlfPaletteTest, HeaderErrorsKeepTheEntriesBodyErrorsDropThem) {
  const std::string path = m_dir.Path("a.tlf");
  const std::string badHeader = "[TLF] [" + path + "] incorrect header information.\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(63, '\0'), "[TLF] [" + path + "] incorrect header size.\n"},
      {MakeTlf(kTlfTag16, 256, 0, {}), badHeader},
      {MakeTlf(kTlfTag256, 16, 0, {}), badHeader},
      {MakeTlf(kTlfTag16, 16, 2, {}), badHeader},
  };
  for (const auto& [file, message] : cases) {
    ASSERT_TRUE(Load(MakeSimpleTlf(16, 7)));
    EXPECT_FALSE(Load(file));
    EXPECT_EQ(m_boxes.Take(), std::vector<std::string>{message});
    EXPECT_EQ(m_palette.GetEntries().front(), 7);
  }
  EXPECT_FALSE(Load(MakeSimpleTlf(16).substr(0, 64 + 31)));
  EXPECT_EQ(m_boxes.Take(),
            std::vector<std::string>{"[TLF] [" + path + "] incorrect body size.\n"});
  EXPECT_EQ(m_palette.GetEntryCount(), 0);
  EXPECT_TRUE(m_palette.GetEntries().empty());

  EXPECT_FALSE(m_palette.Load(m_dir.Path("none.tlf")));
  EXPECT_EQ(m_boxes.Take(),
            std::vector<std::string>{"[TLF] [" + m_dir.Path("none.tlf") + "] file open failed.\n"});
}

}  // namespace
