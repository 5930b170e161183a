#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "anime/anime_file.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(HeaderWriter, EveryRunWritesTheSameHeaderAndFailuresAreReported) {
  TempDir dir;
  const std::string golden =
      AsWritten(ReadFileBytes(FLIPDECK_SOURCE_DIR "/tests/anime/golden/walk/walk.h.golden"));
  const std::string path = dir.Write("out.h", std::string(4000, 'x'));
  CoutCapture console;
  for (bool verbose : {false, true}) {
    EXPECT_TRUE(CAnimeFile().WriteHeader(path, verbose));
    EXPECT_EQ(dir.Read("out.h"), golden);
  }
  const std::string missing = dir.Path("missing") + "\\h.h";
  EXPECT_FALSE(CAnimeFile().WriteHeader(missing, false));
  std::string expected = "\nHeader file output \nerr : " + missing + " can not open\n";
  // A header cut short by a full disk must not pass for success.
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(CAnimeFile().WriteHeader("/dev/full", false));
    expected += "\nerr : [/dev/full] write failed\n";
  }
  EXPECT_EQ(console.Text(), expected);
}

}  // namespace
