// Staged outputs: the temporary names, and a commit that cannot complete.
// What runs leave behind is the run catalogue's to check.
#include "path/staged_outputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "path/staging_name.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(StagingName, SitsHiddenBesideItsTargetAndNamesItsWriter) {
  EXPECT_EQ(StagingName("out\\walk.c", 7, 0, PathStyle::Posix), "out\\.walk.c.flipdeck-7-0.tmp");
  EXPECT_EQ(StagingName("C:walk.c", 7, 3, PathStyle::Windows), "C:.walk.c.flipdeck-7-3.tmp");
  EXPECT_EQ(StagingName("out/", 7, 0, PathStyle::Posix), "");
  // A name of 255 bytes still gives one that fits.
  EXPECT_EQ(StagingName(std::string(255, 'a'), 7, 0, PathStyle::Posix),
            "." + std::string(128, 'a') + ".flipdeck-7-0.tmp");

  uint64_t id = 0;
  EXPECT_TRUE(ReadStagingName(".a.flipdeck-1.flipdeck-99-12.tmp", id));
  EXPECT_EQ(id, 99u);
  // Only what StagingName gives is taken for a leftover.
  for (const char* other :
       {".walk.c.1234.tmp", "walk.c.flipdeck-1234-0.tmp", ".flipdeck-1234-0.tmp",
        ".walk.c.flipdeck-1234.tmp", ".walk.c.flipdeck-12a-0.tmp",
        ".walk.c.flipdeck-1234-0.tmp.bak", ".walk.c.flipdeck-99999999999999999999-0.tmp"})
    EXPECT_FALSE(ReadStagingName(other, id)) << other;
}

TEST(StagedOutputs, ATargetThatCannotBeReplacedIsNamedAndNothingStays) {
  testing_support::TempDir dir;
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
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"walk.c"});
}

}  // namespace
