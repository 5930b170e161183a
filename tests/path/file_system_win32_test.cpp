// The file-system seam on Windows: GetFullPathNameA's rules and limit, and
// names that differ only in case.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "path/file_system.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(FileSystem, FullPathsAreLexicalAndAtMost259Characters) {
  testing_support::TempDir tmp;
  testing_support::ScopedWorkingDir inside(tmp.path());
  const std::string work = tmp.path().string();
  std::string full;
  EXPECT_TRUE(GetFullPath("a\\..\\b\\.\\c.tmf", full));
  EXPECT_EQ(full, work + "\\b\\c.tmf");
  EXPECT_TRUE(GetFullPath("tex/sub/", full));
  EXPECT_EQ(full, work + "\\tex\\sub\\");
  EXPECT_TRUE(GetFullPath("", full));
  EXPECT_EQ(full, work);
  EXPECT_TRUE(GetFullPath("C:\\x\\..\\y", full));
  EXPECT_EQ(full, "C:\\y");

  const std::string longest = "C:\\" + std::string(256, 'a');
  EXPECT_TRUE(GetFullPath(longest, full));
  EXPECT_EQ(full, longest);
  EXPECT_FALSE(GetFullPath(longest + "b", full));
  EXPECT_EQ(full, "");
  EXPECT_FALSE(GetFullPath(std::string("a\0b", 3), full));
}

TEST(FileSystem, NamesIgnoreCaseAndOnlyFilesAreRemoved) {
  testing_support::TempDir tmp;
  const std::string file = tmp.Write("Walk.TMF", "x");
  FileIdentity a;
  FileIdentity b;
  EXPECT_TRUE(GetFileIdentity(file, a) && GetFileIdentity(tmp.Path("sub\\..\\walk.tmf"), b));
  EXPECT_EQ(a, b);
  EXPECT_TRUE(GetFileStatus(tmp.Path("WALK.tmf")).exists);
  EXPECT_FALSE(GetFileStatus(file + std::string(1, '\0') + ".bak").exists);

  // Names that do not exist yet compare as the file system will create them.
  EXPECT_TRUE(IsSamePathName("C:\\work\\OUT.C", "c:\\Work\\out.c"));
  EXPECT_FALSE(IsSamePathName("C:\\work\\a.c", "C:\\work\\a.c\\"));
  if (::GetACP() == 1252) {  // É and é
    EXPECT_TRUE(IsSamePathName("C:\\\xc9.C", "C:\\\xe9.c"));
  }

  fs::create_directory(tmp.path() / "out.c");
  RemoveOutputFile(tmp.Path("out.c"));
  RemoveOutputFile("NUL");
  EXPECT_TRUE(GetFileStatus(tmp.Path("out.c")).isDirectory);
  RemoveOutputFile(tmp.Path("walk.tmf"));
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
