// The POSIX file-system seam: what may be deleted, and when two names are
// one file.
#include "path/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(FileSystem, RemoveOutputFileDeletesOnlyFilesAndLinks) {
  testing_support::TempDir tmp;
  const std::string file = tmp.Write("out.c", "x");
  const std::string target = tmp.Write("target.c", "x");
  const std::string link = tmp.Path("link.c");
  const std::string fifo = tmp.Path("fifo.c");
  const std::string dir = tmp.Path("dir.c");
  fs::create_symlink(target, link);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir);

  for (const std::string& path : {file, link, fifo, dir, tmp.Path("missing.c"), std::string()})
    RemoveOutputFile(path);
  EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_TRUE(fs::is_regular_file(target));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_directory(dir));
}

TEST(FileSystem, IsSameFileFollowsLinks) {
  testing_support::TempDir tmp;
  const std::string anime = tmp.Write("sub/walk.taf", "x");
  fs::create_hard_link(anime, tmp.Path("hard.taf"));
  fs::create_symlink(anime, tmp.Path("soft.taf"));
  EXPECT_TRUE(IsSameFile(anime, tmp.Path("hard.taf")));
  EXPECT_TRUE(IsSameFile(tmp.Path("soft.taf"), anime));
  EXPECT_TRUE(IsSameFile(tmp.Path("sub\\walk.taf"), anime));
  EXPECT_FALSE(IsSameFile(anime, tmp.Write("other.taf", "x")));
  EXPECT_FALSE(IsSameFile(anime, tmp.Path("missing.taf")));
}

TEST(FileSystem, PathsWithNulNameNothing) {
  testing_support::TempDir tmp;
  const std::string file = tmp.Write("tex/a.tmf", "x");
  // Cut at the NUL, the name would reach tex/a.tmf.
  const std::string withNul = file + std::string(1, '\0') + ".bak";
  EXPECT_FALSE(GetFileStatus(withNul).exists);
  RemoveOutputFile(withNul);
  EXPECT_TRUE(fs::exists(file));
  std::string full = "stale";
  EXPECT_FALSE(GetFullPath(withNul, full));
  EXPECT_EQ(full, "");
}

}  // namespace
