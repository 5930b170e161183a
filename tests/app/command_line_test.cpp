// The built program run as a separate process: its standard output and exit
// status byte for byte, and what it leaves on disk.
#include "app/command_line_test.h"

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace command_line_test {
namespace {

TEST_F(CommandLineTest, UsageRunsDeleteNothing) {
  // The bad-input catalogue holds the other usage runs (no argument, -x, -,
  // -o swallowing the anime file, -? with outputs).
  for (const char* line : {"-h", "-?", "-H", "a.taf -x b.taf", "-oout.c -eout.h walk.taf -h"}) {
    SCOPED_TRACE(line);
    std::istringstream words(line);
    const auto result = Run(Args(std::istream_iterator<std::string>(words), {}));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, AsWritten(Banner() + kUsage));
  }
  EXPECT_EQ(m_dir.Read("walk.taf"), kQuietTaf);
  EXPECT_EQ(m_dir.Read("out.c") + m_dir.Read("out.h"), "oldold");
}

TEST_F(CommandLineTest, FailedRunsNameThePath) {
  const std::string taf = m_dir.Write("anim/walk.taf", kQuietTaf);
  std::filesystem::create_hard_link(taf, m_dir.path() / "hard.taf");
  for (const char* name : {"gone.c", "gone.h"}) m_dir.Write(name, "old");
  const std::string kBoth = "] is both input and output";
  const std::pair<Args, std::string> rows[] = {
      {{"-ogone.c", "-e", "gone.h", "missing.taf", "walk.taf"}, "[missing.taf] can not open"},
      // Refused before anything is deleted, also through a hard link.
      {{"-eout.h", "-ohard.taf", "anim/walk.taf"}, "[hard.taf" + kBoth},
  };
  for (const auto& [args, message] : rows) {
    SCOPED_TRACE(testing::PrintToString(args));
    const auto result = Run(args);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, AsWritten(Banner() + "\nerr : " + message + "\n"));
  }
  EXPECT_EQ(m_dir.Read("anim/walk.taf"), kQuietTaf);
  EXPECT_EQ(m_dir.Read("out.c") + m_dir.Read("out.h"), "oldold");
  EXPECT_FALSE(m_dir.Exists("gone.c") || m_dir.Exists("gone.h"));
}

TEST_F(CommandLineTest, ConversionsShowOnlyTheBanner) {
  const auto joined = Run({"-oout.c", "walk.taf"});
  EXPECT_EQ(joined.exitStatus, 0);
  EXPECT_EQ(joined.out, AsWritten(Banner()));
  const std::string written = m_dir.Read("out.c");
  m_dir.Write("out.c", "stale");
  Run({"-o", "out.c", "walk.taf"});
  EXPECT_EQ(m_dir.Read("out.c"), written);
  // A trailing -o names nothing, so the source goes to standard output.
  EXPECT_EQ(Run({"walk.taf", "-o"}).out, AsWritten(Banner()) + written);

  // One camera key at x = 10 of a 12 by 4 grid; its DEBUG line shows a.
  m_dir.Write("cam.taf",
              "FRAME_ANIM = 0\nCAM_ANIM = 1\nCAM_XZ_NUM = 3\nCAM_Y_NUM = 1\nCAM.10.0 = 0,pic\n");
  EXPECT_NE(Run({"-verbose", "cam.taf"}).out.find("DEBUG: Camera(a,0)"), std::string::npos);
  EXPECT_EQ(Run({"cam.taf"}).out.find("DEBUG"), std::string::npos);
}

}  // namespace
}  // namespace command_line_test
