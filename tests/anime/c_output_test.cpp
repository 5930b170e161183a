#include "anime/c_output.h"

#include <gtest/gtest.h>

#include <iostream>

#include "path/staged_outputs.h"
#include "support/test_support.h"

namespace {

TEST(COutput, StandardOutputThatFailedIsNamedStdout) {
  testing_support::OutputCapture capture;
  CStagedOutputs outputs;
  CCOutput out;
  ASSERT_TRUE(out.Open(outputs, "", CCOutput::Mode::kReplace));
  out.Line("/* lost */");
  EXPECT_TRUE(out.CheckWritten());
  std::cout.setstate(std::ios::badbit);
  EXPECT_FALSE(out.CheckWritten());
  EXPECT_FALSE(out.Close());  // reported once
  EXPECT_EQ(capture.Text(), "/* lost */\n\nerr : [stdout] write failed\n");
}

// A named file takes its text in blocks; what it holds at the end is every
// line in order, however the blocks fell.
TEST(COutput, NamedFileGetsEveryLineAcrossBlocks) {
  testing_support::TempDir dir;
  CStagedOutputs outputs;
  CCOutput out;
  ASSERT_TRUE(out.Open(outputs, dir.Path("a.c"), CCOutput::Mode::kReplace));
  const std::string big(3 << 20, 'b');
  std::string expected;
  for (int i = 0; i < 200000; ++i) {
    out.Line(std::to_string(i));
    expected += std::to_string(i) + "\n";
  }
  out.Block(big);
  out.Line("end");
  ASSERT_TRUE(out.Close());
  std::string failed;
  ASSERT_TRUE(outputs.Commit(failed));
  EXPECT_EQ(dir.Read("a.c"), testing_support::AsWritten(expected + big + "end\n"));
}

}  // namespace
