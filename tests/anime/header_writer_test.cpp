#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "anime/anime_file.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

const char kHeader[] =
    "/* 2D Flipdeck for QUORVAX */ \n"
    "/* This file created by flipdeck.exe */ \n"
    "/* Do not edit */ \n"
    "\n"
    "#ifndef  __FLIPDECKDATA__ \n"
    "#define  __FLIPDECKDATA__ \n"
    "\n"
    "/* Texture structure */\n"
    "#ifndef\t_qmTMF_\n#define\t_qmTMF_\n\nstruct qmTMF {\n\tu32*\timg;\n\tu32\t\tfmt;\n"
    "\tu32\t\tsiz;\n\tu32\t\twidth;\n\tu32\t\theight;\n};\n\n#endif\n"
    "\n"
    "/* Palette structure */\n"
    "\n#ifndef\t_qmTLF_\n#define\t_qmTLF_\n\nstruct qmTLF {\n\tu32\t\ttype;\n\tu16*\ttlut;\n"
    "\tu16\t\tsize;\n};\n\n#endif\n"
    "#endif // __FLIPDECKDATA__\n";

TEST(HeaderWriter, WritesTheSameHeaderEveryTimeReplacingTheOldFile) {
  TempDir dir;
  const std::string path = dir.Write("out.h", std::string(4000, 'x'));
  CoutCapture console;
  CAnimeFile first;
  ASSERT_TRUE(first.WriteHeader(path, false));
  EXPECT_EQ(dir.Read("out.h"), kHeader);

  CAnimeFile second;
  ASSERT_TRUE(second.WriteHeader(path, true));
  EXPECT_EQ(dir.Read("out.h"), kHeader);
  EXPECT_EQ(console.Text(), "\nHeader file output ");
}

TEST(HeaderWriter, UnopenablePathIsReportedAsGiven) {
  TempDir dir;
  const std::string path = dir.Path("missing") + "\\h.h";
  CoutCapture console;
  CAnimeFile anime;
  EXPECT_FALSE(anime.WriteHeader(path, true));
  EXPECT_EQ(console.Text(), "\nHeader file output \nerr : " + path + " can not open\n");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("missing")));
}

TEST(HeaderWriter, FailedWriteIsNotReportedAsSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  CoutCapture console;
  CAnimeFile anime;
  EXPECT_FALSE(anime.WriteHeader("/dev/full", false));
  EXPECT_EQ(console.Text(), "\nerr : [/dev/full] write failed\n");
}

}  // namespace
