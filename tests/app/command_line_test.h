// The command line's end-to-end tests, shared by the tests every system runs
// (command_line_test.cpp) and those of one system's own rules
// (command_line_posix_test.cpp, command_line_win32_test.cpp).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace command_line_test {

using testing_support::AsWritten;
using testing_support::Banner;
using Args = std::vector<std::string>;

inline const char kUsage[] =
    "usage: flipdeck [option] infile\n"
    "infile  ... TAF format file\n"
    "output  ... 2D Flipdeck C source\n"
    "option\n"
    "---------------------------------default---\n"
    "-v             verbose mode    : off\n"
    "-o<filename>   output C file   : stdout\n"
    "-e<filename>   output H file   : off\n"
    "-?,-h          usage display   : off\n"
    "\n";

// Converts to nothing: no sequence, a 0 by 0 camera grid.
inline const char kQuietTaf[] = "FRAME_ANIM = 0\n";

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.Write("walk.taf", kQuietTaf);
    m_dir.Write("out.c", "old");
    m_dir.Write("out.h", "old");
  }
  testing_support::ProcessResult Run(const Args& args) {
    return testing_support::RunFlipdeck(args, m_dir.path().string());
  }

  testing_support::TempDir m_dir;
};

}  // namespace command_line_test
