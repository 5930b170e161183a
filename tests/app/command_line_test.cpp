// The built program run as a separate process: its standard output and exit
// status byte for byte, and what it leaves on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Banner;
using testing_support::ProcessResult;
using testing_support::TempDir;

const char kUsage[] =
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

// A TAF file that converts to nothing: no sequence, a 0 by 0 camera grid.
const char kQuietTaf[] = "FRAME_ANIM = 0\n";

class CommandLineTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& args) {
    return testing_support::RunFlipdeck(args, m_dir.path().string());
  }
  std::string Error(const std::string& text) { return Banner() + "\nerr : " + text + "\n"; }

  TempDir m_dir;
};

TEST_F(CommandLineTest, UsageCasesPrintBannerAndUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"-h"}, {"-?"}, {"-x"}, {"-H"}, {"-"}, {"-o", "a.taf"}, {"a.taf", "-x", "b.taf"},
  };
  for (const auto& args : cases) {
    const ProcessResult result = Run(args);
    const std::string shown = args.empty() ? "(none)" : args[0];
    EXPECT_EQ(result.exitStatus, 1) << shown;
    EXPECT_EQ(result.out, Banner() + kUsage) << shown;
    EXPECT_EQ(result.err, "") << shown;
  }
}

TEST_F(CommandLineTest, HelpWithAnimeFileDeletesNothing) {
  m_dir.Write("walk.taf", kQuietTaf);
  m_dir.Write("out.c", "old");
  m_dir.Write("out.h", "old");
  for (const char* help : {"-h", "-?"}) {
    const ProcessResult result = Run({"-oout.c", "-eout.h", "walk.taf", help});
    EXPECT_EQ(result.exitStatus, 1) << help;
    EXPECT_EQ(result.out, Banner() + kUsage) << help;
  }
  // "-o walk.taf" takes the anime file as the output and leaves no input.
  EXPECT_EQ(Run({"-o", "walk.taf"}).out, Banner() + kUsage);
  EXPECT_EQ(m_dir.Read("walk.taf"), kQuietTaf);
  EXPECT_EQ(m_dir.Read("out.c"), "old");
  EXPECT_EQ(m_dir.Read("out.h"), "old");
}

TEST_F(CommandLineTest, QuietTafConvertsWithOnlyTheBanner) {
  m_dir.Write("walk.taf", kQuietTaf);
  const ProcessResult joined = Run({"-oout.c", "walk.taf"});
  EXPECT_EQ(joined.exitStatus, 0);
  EXPECT_EQ(joined.out, Banner());
  const std::string written = m_dir.Read("out.c");

  // "-o out.c" names the same output as "-oout.c"; the old file is replaced.
  m_dir.Write("out.c", "stale");
  const ProcessResult split = Run({"-o", "out.c", "walk.taf"});
  EXPECT_EQ(split.exitStatus, 0);
  EXPECT_EQ(split.out, Banner());
  EXPECT_EQ(m_dir.Read("out.c"), written);
}

TEST_F(CommandLineTest, TrailingDashOLeavesOutputOnStandardOutput) {
  m_dir.Write("walk.taf", kQuietTaf);
  const ProcessResult plain = Run({"walk.taf"});
  const ProcessResult trailing = Run({"walk.taf", "-o"});
  EXPECT_EQ(trailing.exitStatus, 0);
  EXPECT_EQ(trailing.out, plain.out);
  EXPECT_EQ(plain.out.compare(0, Banner().size(), Banner()), 0);
}

TEST_F(CommandLineTest, FirstPositionalArgumentIsTheAnimeFile) {
  m_dir.Write("walk.taf", kQuietTaf);
  const ProcessResult result = Run({"missing.taf", "walk.taf"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, Error("[missing.taf] can not open"));
}

TEST_F(CommandLineTest, UnopenableAnimeFileFailsAfterDeletingOutputs) {
  m_dir.Write("out.c", "old");
  m_dir.Write("out.h", "old");
  const ProcessResult missing = Run({"-oout.c", "-e", "out.h", "missing.taf"});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.out, Error("[missing.taf] can not open"));
  EXPECT_FALSE(m_dir.Exists("out.c"));
  EXPECT_FALSE(m_dir.Exists("out.h"));

  const ProcessResult empty = Run({""});
  EXPECT_EQ(empty.exitStatus, 1);
  EXPECT_EQ(empty.out, Error("[] can not open"));
}

TEST_F(CommandLineTest, SlashIsAPathOnPosix) {
  const ProcessResult result = Run({"/h"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, Error("[/h] can not open"));
}

TEST_F(CommandLineTest, VerboseSwitchIgnoresTrailingLettersAndConsoleStaysHex) {
  // One camera key at x = 10 of a 12 by 4 grid; its DEBUG line shows the
  // coordinate in the console's hexadecimal base.
  m_dir.Write("cam.taf",
              "FRAME_ANIM = 0\nCAM_ANIM = 1\nCAM_XZ_NUM = 3\nCAM_Y_NUM = 1\nCAM.10.0 = 0,pic\n");
  const std::string debug = "DEBUG: Camera(a,0)";
  EXPECT_NE(Run({"-verbose", "-oout.c", "cam.taf"}).out.find(debug), std::string::npos);
  EXPECT_NE(Run({"-v", "-oout.c", "cam.taf"}).out.find(debug), std::string::npos);
  EXPECT_EQ(Run({"-oout.c", "cam.taf"}).out.find("DEBUG"), std::string::npos);
}

TEST_F(CommandLineTest, OutputNamingTheAnimeFileIsRefused) {
  const std::string taf = m_dir.Write("anim/walk.taf", kQuietTaf);
  fs::create_symlink(taf, m_dir.path() / "link.taf");
  fs::create_hard_link(taf, m_dir.path() / "hard.taf");

  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const std::vector<Case> cases = {
      {{"-oanim/walk.taf", "anim/walk.taf"}, "anim/walk.taf"},
      {{"-e", "anim/../anim/walk.taf", "anim/walk.taf"}, "anim/../anim/walk.taf"},
      {{"-olink.taf", "anim/walk.taf"}, "link.taf"},
      {{"-eout.h", "-ohard.taf", "anim/walk.taf"}, "hard.taf"},
      {{"-o" + taf, "anim/walk.taf"}, taf},
  };
  m_dir.Write("out.h", "old");
  for (const Case& c : cases) {
    const ProcessResult result = Run(c.args);
    EXPECT_EQ(result.exitStatus, 1) << c.named;
    EXPECT_EQ(result.out, Error("[" + c.named + "] is both input and output")) << c.named;
  }
  EXPECT_EQ(m_dir.Read("anim/walk.taf"), kQuietTaf);
  EXPECT_EQ(m_dir.Read("out.h"), "old");
}

TEST_F(CommandLineTest, SameFileForBothOutputsIsRefused) {
  m_dir.Write("walk.taf", kQuietTaf);
  m_dir.Write("out.c", "old");
  const ProcessResult result = Run({"-oout.c", "-e./out.c", "walk.taf"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, Error("[out.c] is named by both -o and -e"));
  EXPECT_EQ(m_dir.Read("out.c"), "old");
}

TEST_F(CommandLineTest, DeviceOutputIsNotUnlinked) {
  m_dir.Write("walk.taf", kQuietTaf);
  const ProcessResult result = Run({"-o/dev/null", "walk.taf"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, Banner());
  struct stat info {};
  ASSERT_EQ(::lstat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

}  // namespace
