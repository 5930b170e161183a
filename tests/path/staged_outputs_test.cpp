// Staged outputs: the temporary names, and a commit that cannot complete.
// What runs leave behind is the run catalogue's to check.
#include "path/staged_outputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "path/staging_name.h"
#include "support/case_file.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Each row of path/staging_names.table names one target or reads one name.
TEST(StagingName, SitsHiddenBesideItsTargetAndNamesItsWriter) {
  for (const auto& row : testing_support::ReadTable("path/staging_names.table")) {
    const std::vector<std::string> words = testing_support::ReadArguments(row.input);
    uint64_t id = 0;
    std::string got;
    if (words[0] == "read")
      got = ReadStagingName(words[1], id) ? std::to_string(id) : "no";
    else
      got = StagingName(words[1], std::stoull(words[2]), std::stoul(words[3]),
                        words[0] == "win" ? PathStyle::Windows : PathStyle::Posix);
    EXPECT_EQ(got, row.expected) << row.where;
  }
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
