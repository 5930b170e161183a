#include "anime/anime_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

using testing_support::TempDir;

class AnimeFileTest : public ::testing::Test {
 protected:
  void LoadText(const std::string& text) { ASSERT_TRUE(anime.Load(dir.Write("a.taf", text))); }
  TempDir dir;
  CAnimeFile anime;
};

TEST_F(AnimeFileTest, IntegersReadRawValuesAndStringsExpand) {
  LoadText("A = 010\nB = 0x10\nC = 12 frames\nD =\nE = $(A)\n");
  const std::pair<const char*, int32_t> cases[] = {
      {"A", 8}, {"B", 16}, {"C", 12}, {"D", 0}, {"E", 0}};
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

TEST_F(AnimeFileTest, KeyFramesSplitAtCommasAndTabs) {
  const std::string longName(5000, 'p');  // no working buffer limits the value
  LoadText(
      "FRAME_KEY0 = 0,1,walk 01\nFRAME_KEY1 = 0, 1, walk\nFRAME_KEY2 = 5,,2,run\n"
      "FRAME_KEY3 = 5,2\nFRAME_KEY4 = 5,2,run,extra\nFRAME_KEY5 = 0x10,0,a\n"
      "FRAME_KEY6 = 7\t3\tjump\nFRAME_KEY7 = -4,99999999999," +
      longName + "\n");
  struct Case {
    bool ok;
    int32_t frame, project;
    std::string picture;
  } const cases[] = {
      {true, 0, 1, "walk 01"}, {true, 0, 1, " walk"},
      {true, 5, 2, "run"},     {false, 5, 2, ""},
      {true, 5, 2, "run"},     {true, 0, 0, "a"},
      {true, 7, 3, "jump"},    {true, -4, 2147483647, longName},
      {false, 0, 0, ""},
  };
  for (int i = 0; i < 9; ++i) {
    int32_t frame = 0, project = 0;
    std::string picture;
    EXPECT_EQ(anime.GetFrameKey(i, frame, project, picture), cases[i].ok) << i;
    EXPECT_EQ(frame, cases[i].frame) << i;
    EXPECT_EQ(project, cases[i].project) << i;
    EXPECT_EQ(picture, cases[i].picture) << i;
  }
}

TEST_F(AnimeFileTest, CameraKeysReadPositionProjectAndPicture) {
  LoadText(
      "CAM.2.3 = 1,face\nCAM.4.5 = 1, face\nCAM.2 = 3,side\nCAM.7.1 = face\n"
      "CAM.8.1 = 2 ,face\nCAM.9.1 = 2,\nCAMERA.1.1 = 1,a\ncam.1.1 = 1,a\nCAM.10.3 = 0,a\n");
  // A number the key does not hold stays 0; a value without a number, or
  // without a name after its comma, gives the empty name.
  struct Case {
    const char* key;
    bool ok;
    int32_t x, y, project;
    const char* picture;
  } const cases[] = {
      {"CAM.2.3", true, 2, 3, 1, "face"}, {"CAM.4.5", true, 4, 5, 1, "face"},
      {"CAM.2", true, 2, 0, 3, "side"},   {"CAM.7.1", true, 7, 1, 0, ""},
      {"CAM.8.1", true, 8, 1, 2, ""},     {"CAM.9.1", true, 9, 1, 2, ""},
      {"CAMERA.1.1", false, 0, 0, 0, ""}, {"cam.1.1", false, 0, 0, 0, ""},
      {"CAM.3.3", false, 3, 3, 0, ""},
  };
  for (const Case& c : cases) {
    int32_t x = 0, y = 0, project = 0;
    std::string picture;
    EXPECT_EQ(anime.GetCameraKey(c.key, x, y, project, picture), c.ok) << c.key;
    EXPECT_EQ(x, c.x) << c.key;
    EXPECT_EQ(y, c.y) << c.key;
    EXPECT_EQ(project, c.project) << c.key;
    EXPECT_EQ(picture, c.picture) << c.key;
  }
}

}  // namespace
