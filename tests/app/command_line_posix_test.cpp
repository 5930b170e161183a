// The command line on POSIX: a leading slash begins a path, links name their
// targets, and devices named as outputs survive.
#include <sys/stat.h>

#include <filesystem>

#include "app/command_line_test.h"

namespace command_line_test {
namespace {

TEST_F(CommandLineTest, SlashesBeginPathsAndLinksNameTheirTargets) {
  const std::string taf = m_dir.Write("anim/walk.taf", kQuietTaf);
  std::filesystem::create_symlink(taf, m_dir.path() / "link.taf");
  auto result = Run({"/h"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, Banner() + "\nerr : [/h] can not open\n");
  result = Run({"-olink.taf", "anim/walk.taf"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, Banner() + "\nerr : [link.taf] is both input and output\n");
  EXPECT_EQ(m_dir.Read("anim/walk.taf"), kQuietTaf);
}

TEST_F(CommandLineTest, DevicesNamedAsOutputsAreWrittenNeverUnlinked) {
  EXPECT_EQ(Run({"-o/dev/null", "walk.taf"}).out, Banner());
  struct stat info {};
  ASSERT_EQ(::lstat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

}  // namespace
}  // namespace command_line_test
