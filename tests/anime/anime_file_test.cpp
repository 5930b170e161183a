#include "anime/anime_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace {

using testing_support::TempDir;

class AnimeFileTest : public ::testing::Test {
 protected:
  void LoadText(const std::string& text) { ASSERT_TRUE(anime.Load(dir.Write("a.taf", text))); }
  TempDir dir;
  CAnimeFile anime{testing_support::FailOnLoadError};
};

TEST_F(AnimeFileTest, IntegersReadRawValuesAndStringsExpand) {
  LoadText("A = 010\nD =\nE = $(A)\n");
  const std::pair<const char*, int32_t> cases[] = {{"A", 8}, {"D", 0}, {"E", 0}};
  for (const auto& [key, expected] : cases) {
    int32_t value = -1;
    EXPECT_TRUE(anime.GetInt(key, value));
    EXPECT_EQ(value, expected) << key;
  }
  std::string text;
  ASSERT_TRUE(anime.GetString("E", text));
  EXPECT_EQ(text, "010");
  anime.Free();
  int32_t untouched = 7;
  EXPECT_FALSE(anime.GetInt("A", untouched));
  EXPECT_EQ(untouched, 7);
}

// Each row loads one line; the long name shows that no working buffer
// limits a value.
TEST_F(AnimeFileTest, KeyFramesAndCameraKeysReadTheirFields) {
  auto rows = testing_support::ReadTable("anime/keys.table");
  rows.push_back({"FRAME_KEY0 = 1,2," + std::string(5000, 'p'),
                  "ok 1 2 [" + std::string(5000, 'p') + "]", "a long name"});
  for (const auto& row : rows) {
    LoadText(row.input + "\n");
    int32_t x = 0, y = 0, project = 0;
    std::string picture;
    const std::string key = row.input.substr(0, row.input.find(' '));
    std::string read;
    if (key.starts_with("FRAME_KEY")) {
      read = anime.GetFrameKey(0, x, project, picture) ? "ok " : "fail ";
      read += std::to_string(x) + " " + std::to_string(project);
    } else {
      read = anime.GetCameraKey(key, x, y, project, picture) ? "ok " : "fail ";
      read += std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(project);
    }
    EXPECT_EQ(read + " [" + picture + "]", row.expected) << row.where;
  }
}

// Outputs that cannot all take their names leave none: a header without
// its C file would pass for the output of a run that worked. Here the C
// file's name is taken, after staging, by a folder that holds a file.
TEST(AnimeFileOutputs, ARenameThatFailsWithdrawsTheOutputsAlreadyRenamed) {
  TempDir dir;
  testing_support::WriteWalkExample(dir.path());
  const testing_support::ScopedWorkingDir cwd(dir.path());
  CAnimeFile anime{testing_support::FailOnLoadError};
  ASSERT_TRUE(anime.Load("walk.taf"));
  {
    const testing_support::OutputCapture console;
    ASSERT_TRUE(anime.WriteSequenceSource("walk.c", "walk.h", false));
    ASSERT_TRUE(anime.WriteCameraSource("walk.c", "walk.h", false));
    dir.Write("walk.c/taken", "");
    EXPECT_FALSE(anime.CommitOutputs());
    EXPECT_EQ(console.Text(), "\nerr : [walk.c] rename failed\n");
  }
  EXPECT_FALSE(dir.Exists("walk.h"));
  EXPECT_TRUE(dir.Exists("walk.c/taken"));
}

}  // namespace
