#include "anime/anime_file.h"

#include <gtest/gtest.h>

#include <iostream>

#include "support/test_support.h"

namespace {

using testing_support::CoutCapture;
using testing_support::TempDir;

class AnimeFileTest : public ::testing::Test {
 protected:
  void LoadText(const std::string& text) { ASSERT_TRUE(anime.Load(dir.Write("a.taf", text))); }
  TempDir dir;
  CAnimeFile anime;
};

TEST_F(AnimeFileTest, LoadAndFreeTrackTheDescription) {
  EXPECT_FALSE(anime.IsLoaded());
  EXPECT_FALSE(anime.Load(dir.Path("missing.taf")));
  EXPECT_TRUE(anime.IsLoaded());  // an empty settings file stays behind
  std::string value;
  EXPECT_FALSE(anime.GetString("X", value));
  anime.Free();
  EXPECT_FALSE(anime.IsLoaded());
  int32_t number = 7;
  EXPECT_FALSE(anime.GetInt("X", number));
  EXPECT_EQ(number, 7);
}

TEST_F(AnimeFileTest, IntegersUseTheStreamRuleOnRawValues) {
  LoadText("A = 010\nB = 0x10\nC = 12 frames\nD =\nE = $(A)\n");
  int32_t value = -1;
  ASSERT_TRUE(anime.GetInt("A", value));
  EXPECT_EQ(value, 8);
  ASSERT_TRUE(anime.GetInt("B", value));
  EXPECT_EQ(value, 16);
  ASSERT_TRUE(anime.GetInt("C", value));
  EXPECT_EQ(value, 12);
  ASSERT_TRUE(anime.GetInt("D", value));
  EXPECT_EQ(value, 0);
  ASSERT_TRUE(anime.GetInt("E", value));  // no expansion for integers
  EXPECT_EQ(value, 0);
  std::string text;
  ASSERT_TRUE(anime.GetString("E", text));
  EXPECT_EQ(text, "010");
}

TEST_F(AnimeFileTest, KeyFramesSplitAtCommasAndTabs) {
  LoadText(
      "FRAME_KEY0 = 0,1,walk 01\n"
      "FRAME_KEY1 = 0, 1, walk\n"
      "FRAME_KEY2 = 5,,2,run\n"
      "FRAME_KEY3 = 5,2\n"
      "FRAME_KEY4 = 5,2,run,extra\n"
      "FRAME_KEY5 = 0x10,0,a\n"
      "FRAME_KEY6 = 7\t3\tjump\n"
      "FRAME_KEY7 = -4,99999999999,big\n");
  struct Case {
    int index;
    bool ok;
    int32_t frame, project;
    std::string picture;
  } cases[] = {
      {0, true, 0, 1, "walk 01"}, {1, true, 0, 1, " walk"},         {2, true, 5, 2, "run"},
      {3, false, 5, 2, ""},       {4, true, 5, 2, "run"},           {5, true, 0, 0, "a"},
      {6, true, 7, 3, "jump"},    {7, true, -4, 2147483647, "big"},
  };
  for (const Case& c : cases) {
    int32_t frame = 0;
    int32_t project = 0;
    std::string picture;
    EXPECT_EQ(anime.GetFrameKey(c.index, frame, project, picture), c.ok) << c.index;
    EXPECT_EQ(frame, c.frame) << c.index;
    EXPECT_EQ(project, c.project) << c.index;
    EXPECT_EQ(picture, c.picture) << c.index;
  }
  int32_t frame = 0, project = 0;
  std::string picture;
  EXPECT_FALSE(anime.GetFrameKey(8, frame, project, picture));
}

TEST_F(AnimeFileTest, KeyFrameValuesHaveNoLengthLimit) {
  const std::string name(5000, 'p');
  LoadText("FRAME_KEY0 = 1,2," + name + "\n");
  int32_t frame = 0, project = 0;
  std::string picture;
  ASSERT_TRUE(anime.GetFrameKey(0, frame, project, picture));
  EXPECT_EQ(picture, name);
}

struct CameraResult {
  bool ok;
  int32_t x, y, project;
  std::string picture;
};

CameraResult ReadCamera(const CAnimeFile& anime, const std::string& key) {
  CameraResult r{false, 0, 0, 0, ""};
  r.ok = anime.GetCameraKey(key, r.x, r.y, r.project, r.picture, false);
  return r;
}

TEST_F(AnimeFileTest, CameraKeysReadPositionProjectAndPicture) {
  LoadText(
      "CAM.2.3 = 1,face\nCAM.4.5 = 1, face\nCAM.2 = 3,side\nCAM.7.1 = face\n"
      "CAM.8.1 = 2 ,face\nCAM.9.1 = 2,\nCAMERA.1.1 = 1,a\ncam.1.1 = 1,a\n");
  CameraResult r = ReadCamera(anime, "CAM.2.3");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.x, 2);
  EXPECT_EQ(r.y, 3);
  EXPECT_EQ(r.project, 1);
  EXPECT_EQ(r.picture, "face");
  EXPECT_EQ(ReadCamera(anime, "CAM.4.5").picture, "face");

  r = ReadCamera(anime, "CAM.2");  // no second number: y keeps its 0
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.x, 2);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.picture, "side");

  // A value without a number, or without a name after the comma, gives
  // the empty picture name.
  EXPECT_EQ(ReadCamera(anime, "CAM.7.1").picture, "");
  EXPECT_EQ(ReadCamera(anime, "CAM.8.1").picture, "");
  EXPECT_EQ(ReadCamera(anime, "CAM.9.1").picture, "");

  EXPECT_FALSE(ReadCamera(anime, "CAMERA.1.1").ok);
  EXPECT_FALSE(ReadCamera(anime, "cam.1.1").ok);
  EXPECT_FALSE(ReadCamera(anime, "CAM.3.3").ok);  // no such key
}

TEST_F(AnimeFileTest, VerboseCameraLinePrintsHexadecimalBeforeTheLookup) {
  LoadText("CAM.10.3 = 0,a\n");
  CoutCapture capture;
  std::cout << std::hex;
  int32_t x = 0, y = 0, project = 0;
  std::string picture;
  EXPECT_TRUE(anime.GetCameraKey("CAM.10.3", x, y, project, picture, true));
  x = y = 0;
  EXPECT_FALSE(anime.GetCameraKey("CAM.16.0", x, y, project, picture, true));
  EXPECT_EQ(capture.Text(), "DEBUG: Camera(a,3)\nDEBUG: Camera(10,0)\n");
}

}  // namespace
