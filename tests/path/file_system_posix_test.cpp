// The file-system seam on POSIX: what may be deleted, and what names nothing.
#include "path/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Regular outputs are covered by the command line's tests.
TEST(FileSystem, RemoveOutputFileLeavesLinkTargetsAndFifos) {
  testing_support::TempDir tmp;
  const std::string target = tmp.Write("target.c", "x");
  fs::create_symlink(target, tmp.Path("link.c"));
  ASSERT_EQ(::mkfifo(tmp.Path("fifo.c").c_str(), 0600), 0);
  RemoveOutputFile(tmp.Path("link.c"));
  RemoveOutputFile(tmp.Path("fifo.c"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tmp.Path("link.c"))));
  EXPECT_TRUE(fs::is_regular_file(target));
  EXPECT_TRUE(fs::is_fifo(tmp.Path("fifo.c")));
}

TEST(FileSystem, PathsWithNulOrPastPathMaxNameNothing) {
  testing_support::TempDir tmp;
  const std::string file = tmp.Write("tex/a.tmf", "x");
  // Cut at the NUL, the name would reach tex/a.tmf.
  const std::string withNul = file + std::string(1, '\0') + ".bak";
  EXPECT_FALSE(GetFileStatus(withNul).exists);
  RemoveOutputFile(withNul);
  EXPECT_TRUE(fs::exists(file));

  const std::string longest = "/" + std::string(PATH_MAX - 2, 'a');
  std::string full;
  EXPECT_TRUE(GetFullPath(longest, full));
  EXPECT_FALSE(GetFullPath(longest + "b", full));
}

}  // namespace
