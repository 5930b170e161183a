// Staged outputs: the temporary names and what a run leaves behind when it
// succeeds, fails, or finds something other than a file under a target.
#include "path/staged_outputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "path/staging_name.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

TEST(StagingName, SitsHiddenBesideItsTargetAndNamesItsWriter) {
  constexpr PathStyle kWin = PathStyle::Windows;
  constexpr PathStyle kPosix = PathStyle::Posix;
  EXPECT_EQ(StagingName("out/walk.c", 1234, 0, kPosix), "out/.walk.c.flipdeck-1234-0.tmp");
  EXPECT_EQ(StagingName("walk.c", 7, 3, kPosix), ".walk.c.flipdeck-7-3.tmp");
  EXPECT_EQ(StagingName("out\\walk.c", 7, 0, kPosix), "out\\.walk.c.flipdeck-7-0.tmp");
  EXPECT_EQ(StagingName("C:walk.c", 7, 0, kWin), "C:.walk.c.flipdeck-7-0.tmp");
  EXPECT_EQ(StagingName("C:walk.c", 7, 0, kPosix), ".C:walk.c.flipdeck-7-0.tmp");
  EXPECT_EQ(StagingName("out/", 7, 0, kPosix), "");
  // A name of 255 bytes still gives one that fits.
  EXPECT_EQ(StagingName(std::string(255, 'a'), 7, 0, kPosix),
            "." + std::string(128, 'a') + ".flipdeck-7-0.tmp");

  uint64_t id = 0;
  EXPECT_TRUE(ReadStagingName(".walk.c.flipdeck-1234-0.tmp", id));
  EXPECT_EQ(id, 1234u);
  EXPECT_TRUE(ReadStagingName(".a.flipdeck-1.flipdeck-99-12.tmp", id));
  EXPECT_EQ(id, 99u);
  for (const char* other :
       {".walk.c.1234.tmp", "walk.c.flipdeck-1234-0.tmp", ".flipdeck-1234-0.tmp",
        ".walk.c.flipdeck-1234.tmp", ".walk.c.flipdeck--0.tmp", ".walk.c.flipdeck-12a-0.tmp",
        ".walk.c.flipdeck-1234-0.tmp.bak", ".walk.c.flipdeck-99999999999999999999-0.tmp"})
    EXPECT_FALSE(ReadStagingName(other, id)) << other;
}

// The names in `dir`, hidden ones included.
std::vector<std::string> Names(const ts::TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(StagedOutputs, TargetsAppearOnlyOnCommitAndNothingStaysOtherwise) {
  ts::TempDir dir;
  const std::string c = dir.Path("walk.c");
  const std::string h = dir.Path("walk.h");
  std::string cFile;
  std::string hFile;
  {
    CStagedOutputs failed;
    ASSERT_TRUE(failed.Add(c, cFile));
    std::string again;
    ASSERT_TRUE(failed.Add(c, again));
    EXPECT_EQ(again, cFile);
    EXPECT_NE(cFile, c);
    EXPECT_EQ(fs::path(cFile).parent_path(), dir.path());
    EXPECT_EQ(Names(dir).size(), 1u);
  }
  EXPECT_TRUE(Names(dir).empty());

  CStagedOutputs good;
  ASSERT_TRUE(good.Add(h, hFile) && good.Add(c, cFile));
  std::ofstream(cFile) << "c";
  std::string failed;
  ASSERT_TRUE(good.Commit(failed));
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"walk.c", "walk.h"}));
  EXPECT_EQ(dir.Read("walk.c"), "c");
  good.Withdraw();
  EXPECT_TRUE(Names(dir).empty());

  CStagedOutputs missing;
  EXPECT_FALSE(missing.Add(dir.Path("nodir/walk.c"), cFile));
}

TEST(StagedOutputs, ATargetThatCannotBeReplacedIsNamed) {
  ts::TempDir dir;
  {
    CStagedOutputs outputs;
    std::string file;
    ASSERT_TRUE(outputs.Add(dir.Path("walk.h"), file) && outputs.Add(dir.Path("walk.c"), file));
    fs::create_directory(dir.path() / "walk.c");  // after the check, before the rename
    std::string failed;
    EXPECT_FALSE(outputs.Commit(failed));
    EXPECT_EQ(failed, dir.Path("walk.c"));
    outputs.Withdraw();
  }
  EXPECT_EQ(Names(dir), std::vector<std::string>{"walk.c"});
}

// A directory under the target's name: written in place, where opening it
// fails as it always did, and never renamed away.
TEST(StagedOutputs, WhatIsNoFileIsWrittenInPlace) {
  ts::TempDir dir;
  fs::create_directory(dir.path() / "out.c");
  CStagedOutputs outputs;
  std::string file;
  ASSERT_TRUE(outputs.Add(dir.Path("out.c"), file));
  EXPECT_EQ(file, dir.Path("out.c"));
  std::string failed;
  EXPECT_TRUE(outputs.Commit(failed));
  EXPECT_TRUE(fs::is_directory(dir.path() / "out.c"));
  EXPECT_EQ(Names(dir), std::vector<std::string>{"out.c"});
}

}  // namespace
