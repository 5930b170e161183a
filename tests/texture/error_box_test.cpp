#include "texture/error_box.h"

#include <gtest/gtest.h>

#include <string>

#include "box_capture.h"
#include "support/test_support.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

namespace {

TEST(ErrorBox, PosixBoxWritesCaptionAndMessageToStandardErrorOnly) {
  testing_support::CoutCapture console;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(CTmfImage::ReportError("[%s] file open failed.\n", "x"));
  EXPECT_FALSE(CTlfPalette::ReportError("[%s] incorrect body size.\n", "y"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "[TMF] [x] file open failed.\n[TLF] [y] incorrect body size.\n");
  EXPECT_EQ(console.Text(), "");
}

TEST(ErrorBox, MessagesAreNeverCutShort) {
  CBoxCapture boxes;
  const std::string longName(5000, 'n');
  CTmfImage::ReportError("[%s] file read failed.\n", longName.c_str());
  CTmfImage::ReportError("improper tag=0x%x, bits=%d\n", 0x120300u, -4);
  EXPECT_EQ(boxes.Take(), (std::vector<std::string>{"[TMF] [" + longName + "] file read failed.\n",
                                                    "[TMF] improper tag=0x120300, bits=-4\n"}));
}

}  // namespace
