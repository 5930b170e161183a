#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/fixture_builder.h"
#include "support/test_support.h"
#include "texture/tmf_image.h"

using namespace testing_support;

namespace {

class TextureFileTest : public ::testing::Test {
 protected:
  bool Load(const std::string& bytes) {
    return m_image.Load(m_dir.Write("a.tmf", bytes), m_report);
  }

  TempDir m_dir;
  CTmfImage m_image;
  std::string m_boxes;  // every report heard, as "<caption> <message>"
  const LoadReporter m_report = [this](const std::string& caption, const std::string& text) {
    m_boxes += caption + " " + text;
  };
};

std::string Tmf(int32_t bits, int32_t width, int32_t height, const std::string& body) {
  return EncodeTmfFile({TmfTagFor(bits), width, height, bits}, body);
}

std::string ToHex(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string digits = bytes.empty() ? "-" : "";
  for (const uint8_t byte : bytes) digits += {kDigits[byte >> 4], kDigits[byte & 15]};
  return digits;
}

TEST_F(TextureFileTest, AMissingImageIsNamedWhole) {
  // A name far longer than any fixed message buffer is shown whole.
  const std::string missing = m_dir.Path(std::string(5000, 'n') + "\\b.tmf");
  EXPECT_FALSE(m_image.Load(missing, m_report));
  EXPECT_EQ(m_boxes, "[TMF] [" + missing + "] file open failed.\n");
}

// Each row of texture/bodies.table loads one image: what the export keeps
// of its body and what check reports of it.
TEST_F(TextureFileTest, ImageTellsWhatItsBodyHeldAndWhatTheExportKeeps) {
  for (const auto& row : ReadTable("texture/bodies.table")) {
    std::istringstream fields(row.input);
    int32_t bits = 0, width = 0, height = 0;
    std::string body;
    fields >> bits >> width >> height >> body;
    ASSERT_TRUE(Load(Tmf(bits, width, height, FromHex(body == "-" ? "" : body)))) << row.where;
    const CTmfBody& held = m_image.GetBody();
    EXPECT_EQ(held.length, body.size() / 2) << row.where;
    EXPECT_EQ(ToHex(m_image.MakeExportBytes()) + (held.packed ? " packed " : " padded ") +
                  std::to_string(held.wholeRows),
              row.expected)
        << row.where;
  }
}

TEST_F(TextureFileTest, ImageExportStopsAtTheLimit) {
  // Row r is filled with r % 251, so that rows 510, 511 and 1023 differ;
  // rows of 1024 bytes are packed for width 1024 and word-padded for 1023.
  std::string body;
  for (int row = 0; row < 1024; ++row) body += std::string(1024, static_cast<char>(row % 251));
  for (int32_t width : {1024, 1023}) {
    ASSERT_TRUE(Load(Tmf(8, width, 1024, body)));
    const std::vector<uint8_t> bytes = m_image.MakeExportBytes();
    ASSERT_EQ(bytes.size(), 512u * static_cast<size_t>(width));
    EXPECT_EQ(m_image.GetExportRows(), 512);
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
  EXPECT_EQ(m_image.GetExportLength(), 524288u);
  ASSERT_TRUE(Load(Tmf(4, 3, 3, "")));
  EXPECT_EQ(m_image.GetExportRows(), 3);
  EXPECT_EQ(m_image.GetExportLength(), 6u);
}

}  // namespace
