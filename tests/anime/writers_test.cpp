// End-to-end tests of the two writers: the built flipdeck converts small
// projects made by the fixture builder, and the generated C, the header and
// the console text are compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "anime/c_output.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"

namespace {

using testing_support::AsWritten;
using testing_support::Banner;
using testing_support::MakeTlf;
using testing_support::MakeTmf;
using testing_support::ProcessResult;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

const std::string kOpening =
    "/* 2D Flipdeck for QUORVAX */ \n/* This file created by flipdeck.exe */ \n"
    "/* Do not edit */ \n\n#include <plinth.h>\n#include \"flipdeck.h\"\n";

const char kWalkTaf[] =
    "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = walk.tpf\nFRAME_LENGTH = 30\nFRAME_KEY = 2\n"
    "FRAME_KEY0 = 0,0,walk1\nFRAME_KEY1 = 10,0,walk2\n"
    "CAM_ANIM = 1\nCAM_XZ_NUM = 1\nCAM_Y_NUM = 1\nCAM.1.0 = 0,walk2\nCAM.0.0 = 0,walk1\n";

const char kWalkTpf[] =
    "PICT_NUM = 2\nPICT.0 = walk1,walk1.tmf,walk.tlf\nPICT.1 = walk2,walk2.tmf,walk.tlf\n";

std::string WalkPalette() {
  return MakeTlf(testing_support::kTlfTag16, 16, 0,
                 {0x0000, 0x7800, 0x03c0, 0x7bc0, 0x001e, 0x781e, 0x03de, 0x7bde, 0xbdee, 0xf800,
                  0x07c0, 0xffc0, 0x003e, 0xf83e, 0x07fe, 0xfffe});
}

// A 4-bit 8 x 2 picture whose eight body bytes start at `first` and step by 0x11.
std::string SmallPicture(int first) {
  std::string body;
  for (int i = 0; i < 8; ++i) body.push_back(static_cast<char>(first + 0x11 * i));
  return MakeTmf(testing_support::kTmfTag4Bit, 8, 2, 4, body);
}

// Reports the first line in which two texts differ, which says far more
// than two dumps of a whole C file.
void ExpectSameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return;
  std::istringstream e(expected), a(actual);
  std::string le, la;
  for (int line = 1;; ++line) {
    const bool moreE = static_cast<bool>(std::getline(e, le));
    const bool moreA = static_cast<bool>(std::getline(a, la));
    if (!moreE && !moreA) break;
    if (moreE != moreA || le != la) {
      ADD_FAILURE() << "first difference at line " << line
                    << "\n  expected: " << (moreE ? "\"" + le + "\"" : "<end>")
                    << "\n  actual:   " << (moreA ? "\"" + la + "\"" : "<end>");
      return;
    }
  }
  ADD_FAILURE() << "texts differ in their final line end";
}

class WritersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("walk1.tmf", SmallPicture(0x00));
    dir.Write("walk2.tmf", SmallPicture(0x88));
    dir.Write("walk.tlf", WalkPalette());
    dir.Write("walk.tpf", kWalkTpf);
  }
  ProcessResult Run(const std::string& taf, std::vector<std::string> args) {
    dir.Write("walk.taf", taf);
    args.push_back("walk.taf");
    return testing_support::RunFlipdeck(args, dir.path().string());
  }
  // A golden file of the walk case, with the test's directory filled in.
  std::string Golden(const std::string& name) const {
    return testing_support::WithDir(
        ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/tests/anime/golden/walk/" + name),
        dir.path().string());
  }
  TempDir dir;
};

TEST_F(WritersTest, WalkExampleByteForByte) {
  const std::string kStale = "left by an earlier run";
  std::string withoutInclude = Golden("walk.c.golden");
  for (size_t at; (at = withoutInclude.find("#include \"walk.h\"\n")) != std::string::npos;)
    withoutInclude.erase(at, 18);
  struct Case {
    std::vector<std::string> args;
    std::string out, cFile;
  } const cases[] = {
      {{"-owalk.c", "-ewalk.h"}, Banner(), Golden("walk.c.golden")},
      {{"-v", "-o", "walk.c", "-e", "walk.h"},
       Banner() + Golden("console_verbose.golden"),
       Golden("walk.c.golden")},
      // Without -o the C text and the console share standard output by lines.
      {{"-v", "-ewalk.h"}, Banner() + Golden("stdout_verbose.golden"), kStale},
      {{"-ewalk.h"}, Banner() + Golden("walk.c.golden"), kStale},
      // Without -e there is no header to include.
      {{"-owalk.c"}, Banner(), withoutInclude},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    dir.Write("walk.c", kStale);
    ProcessResult r = Run(kWalkTaf, c.args);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    ExpectSameText(AsWritten(c.out), r.out);
    ExpectSameText(AsWritten(c.cFile), dir.Read("walk.c"));
  }
  ExpectSameText(AsWritten(Golden("walk.h.golden")), dir.Read("walk.h"));
}

TEST_F(WritersTest, UnreadableFilesShowTheBoxAndTheConsoleLine) {
  const std::string taf =
      "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = bad.tpf\nFRAME_LENGTH = 30\n"
      "FRAME_KEY = 1\nFRAME_KEY0 = 0,0,pic\n";
  dir.Write("bad.tpf",
            "PICT_NUM = 2\nPICT.0 = pic,nothere.tmf,walk.tlf\nPICT.1 = pal,walk1.tmf,short.tlf\n");
  dir.Write("short.tlf", WalkPalette().substr(0, 80));
  ProcessResult r = Run(taf, {"-owalk.c"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, AsWritten(Banner() + "\nerr : Cannot open [] \n"));
  EXPECT_EQ(r.err, "[TMF] [] file open failed.\n");

  r =
      Run("FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = bad.tpf\nFRAME_LENGTH = 30\n"
          "FRAME_KEY = 1\nFRAME_KEY0 = 0,0,pal\n",
          {"-owalk.c"});
  const std::string tlf = dir.Path("short.tlf");
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, AsWritten(Banner() + "\nerr : [" + tlf + "] can not open\n"));
  EXPECT_EQ(r.err, "[TLF] [" + tlf + "] incorrect body size.\n");
  // The texture written before the failing palette stays in the output.
  EXPECT_NE(dir.Read("walk.c").find("static struct qmTMF tmf00"), std::string::npos);
}

TEST_F(WritersTest, FrameCountsFollowTheKeyFrames) {
  auto sequence = [&](const std::string& keys, int count) {
    ProcessResult r =
        Run("FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = walk.tpf\nFRAME_LENGTH = 30\n"
            "FRAME_KEY = " +
                std::to_string(count) + "\n" + keys,
            {"-owalk.c"});
    EXPECT_EQ(r.exitStatus, 0) << r.out;
    std::string frames;
    std::istringstream c(dir.Read("walk.c"));
    for (std::string line; std::getline(c, line);) {
      if (line.rfind("static CAnmCtrlTxture gAnimeCmd", 0) != 0) continue;
      const size_t end = line.rfind("}; /* frame */");
      frames += line.substr(line.rfind(',', end) + 1, end - line.rfind(',', end) - 1) + " ";
    }
    return frames;
  };
  EXPECT_EQ(sequence("FRAME_KEY0 = 5,0,walk1\nFRAME_KEY1 = 8,0,walk2\n", 2), "8 22 ");
  EXPECT_EQ(sequence("FRAME_KEY0 = 20,0,walk1\nFRAME_KEY1 = 10,0,walk2\n", 2), "10 20 ");
  EXPECT_EQ(sequence("FRAME_KEY0 = 0,0,walk1\nFRAME_KEY1 = 10,0,walk2\nFRAME_KEY2 = 10,0,walk1\n"
                     "FRAME_KEY3 = 20,0,walk2\n",
                     4),
            "10 0 10 10 ");
  EXPECT_EQ(sequence("FRAME_KEY0 = 0,0,walk1\nFRAME_KEY1 = 40,0,walk2\n", 2), "40 -10 ");
  // A missing key frame ends the sequence: one command, the jump is gAnimeCmd2.
  EXPECT_EQ(sequence("FRAME_KEY0 = 0,0,walk1\nFRAME_KEY2 = 9,0,walk2\n", 3), "30 ");
  EXPECT_NE(dir.Read("walk.c").find("static CAnmCtrlJump gAnimeCmd2= { {ANMCTRL_JUMP},1};"),
            std::string::npos);
}

TEST_F(WritersTest, NamesCountAcrossProjectsAndNeverCollide) {
  // Key frame 3 shows project 12's picture: count 3 gives tmf123. The 24th
  // texture (project 1, count 23) would be tmf123 again and gets tmf1_23.
  std::string tpf1 = "PICT_NUM = 24\n", keys;
  for (int i = 0; i < 24; ++i) {
    const std::string n = std::to_string(i);
    const bool other = i == 3;
    if (!other) tpf1 += "PICT." + n + " = a" + n + ",a" + n + ".tmf,walk.tlf\n";
    dir.Write("a" + n + ".tmf", SmallPicture(i));
    keys += "FRAME_KEY" + n + (other ? " = 0,12,b\n" : " = 0,1,a" + n + "\n");
  }
  dir.Write("p1.tpf", tpf1);
  dir.Write("p12.tpf", "PICT_NUM = 1\nPICT.0 = b,a3.tmf,walk.tlf\n");
  ProcessResult r =
      Run("FRAME_ANIM = 1\nTPF.NUM = 2\nTPF.1.FILE = p1.tpf\nTPF.12.FILE = p12.tpf\n"
          "FRAME_LENGTH = 30\nFRAME_KEY = 24\n" +
              keys,
          {"-owalk.c"});
  EXPECT_EQ(r.exitStatus, 0) << r.out;
  const std::string c = dir.Read("walk.c");
  for (const char* name : {"tmf10\n", "tmf123\n", "tmf1_23\n"})
    EXPECT_NE(c.find(AsWritten(std::string("static struct qmTMF ") + name)), std::string::npos)
        << name;
  EXPECT_NE(c.find("static u16 tlf10[]"), std::string::npos);
  EXPECT_EQ(c.find("tlf11"), std::string::npos);  // the shared palette is written once
}

TEST_F(WritersTest, CameraOffWritesAnEmptyMatrix) {
  ProcessResult r = Run("FRAME_ANIM = 0\n", {"-owalk.c", "-ewalk.h"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_FALSE(dir.Exists("walk.h"));  // no header without the frame sequence
  EXPECT_EQ(
      dir.Read("walk.c"),
      AsWritten(kOpening +
                "#include \"walk.h\"\n"
                "/* 2D Camera pattern & palettes */\n\n/* matrix data */\nu32 gCamXSize = 0;\n"
                "u32 gCamYSize = 0;\n\nCAnmCtrlTxture* gCamMatrix[0][0] = { \n};\n\n"));
}

TEST_F(WritersTest, CameraCellsComeRowByRowInKeyOrder) {
  // CAM.01.2 and CAM.1.2 name one cell: the key visited later wins, and
  // both pictures' data are written. CAM.2 has no second number: (2, 0).
  ProcessResult r =
      Run("TPF.0.FILE = walk.tpf\nCAM_ANIM = 1\nCAM_XZ_NUM = 2\nCAM_Y_NUM = 1\n"
          "CAM.0.1 = 0,walk2\nCAM.3.0 = 0,walk1\nCAM.2 = 0,walk1\n"
          "CAM.1.2 = 0,walk1\nCAM.01.2 = 0,walk2\n",
          {"-owalk.c"});
  EXPECT_EQ(r.exitStatus, 0) << r.out;
  const std::string c = dir.Read("walk.c");
  const size_t section = c.find("/* 2D Camera pattern & palettes */");
  ASSERT_NE(section, std::string::npos);
  const size_t cam20 = c.find("static CAnmCtrlTxture cam2_0 ");
  const size_t cam30 = c.find("static CAnmCtrlTxture cam3_0 ");
  const size_t cam01 = c.find("static CAnmCtrlTxture cam0_1 ");
  const size_t cam12 = c.find("static CAnmCtrlTxture cam1_2 ");
  EXPECT_TRUE(section < cam20 && cam20 < cam30 && cam30 < cam01 && cam01 < cam12);
  EXPECT_NE(c.find(AsWritten("CAnmCtrlTxture* gCamMatrix[4][8] = { \n"
                             " NULL, NULL, &cam2_0, &cam3_0, NULL, NULL, NULL, NULL,\n"
                             " &cam0_1, NULL, NULL, NULL, NULL, NULL, NULL, NULL,\n"
                             " NULL, &cam1_2, NULL, NULL, NULL, NULL, NULL, NULL,\n"
                             " NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,\n};\n")),
            std::string::npos);
  EXPECT_EQ(c.find("camtmf02"), std::string::npos);  // two pictures, two textures
  EXPECT_NE(c.find("static struct qmTMF camtmf01"), std::string::npos);
}

TEST_F(WritersTest, WindowsSpelledProjectPathsConvert) {
  dir.Write("anim/sub/pics.tpf",
            "TMF_DIR = $(TPF_DIR)\\tex\nTLF_DIR = ..\\pal\nPICT_NUM = 1\n"
            "PICT.0 = one,walk1.tmf,walk.tlf,0x1f\n");
  dir.Write("anim/sub/tex/walk1.tmf", SmallPicture(0));
  dir.Write("pal/walk.tlf", WalkPalette());
  dir.Write("anim/walk.taf",
            "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = sub\\pics.tpf\n"
            "FRAME_LENGTH = 4\nFRAME_KEY = 1\nFRAME_KEY0 = 0,0,one\n");
  ProcessResult r = testing_support::RunFlipdeck({"-o..\\out.c", "walk.taf"}, dir.Path("anim"));
  EXPECT_EQ(r.exitStatus, 0) << r.out;
  EXPECT_NE(dir.Read("out.c").find("&tmf00,tlf00,31,4}; /* frame */"), std::string::npos);
}

TEST_F(WritersTest, WriteFailuresFailTheRun) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  // /dev/full takes no byte. The run stops after the first data block that
  // did not reach the file: no palette follows the texture.
  ProcessResult r = Run(kWalkTaf, {"-v", "-o/dev/full"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, Banner() + "\nC Source file output \nTexture Data output[" +
                       dir.Path("walk1.tmf") + "]\n\nerr : [/dev/full] write failed\n");
  r = Run("CAM_ANIM = 0\n", {"-o/dev/full"});  // the camera part alone
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, Banner() + "\nerr : [/dev/full] write failed\n");
  r = Run(kWalkTaf, {"-owalk.c", "-e/dev/full"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, Banner() + "\nerr : [/dev/full] write failed\n");
  EXPECT_FALSE(dir.Exists("walk.c"));

  // Standard output on a full disk: the message cannot be read there, the
  // exit status tells.
  dir.Write("walk.taf", kWalkTaf);
  EXPECT_EQ(testing_support::RunFlipdeck({"walk.taf"}, dir.path().string(), "/dev/full").exitStatus,
            1);
}

TEST(COutputTest, StandardOutputThatFailedIsNamedStdout) {
  testing_support::CoutCapture capture;
  CCOutput out;
  ASSERT_TRUE(out.Open("", CCOutput::Mode::kReplace));
  out.Line("/* lost */");
  EXPECT_TRUE(out.CheckWritten());
  std::cout.setstate(std::ios::badbit);
  EXPECT_FALSE(out.CheckWritten());
  EXPECT_FALSE(out.Close());  // reported once
  EXPECT_EQ(capture.Text(), "/* lost */\n\nerr : [stdout] write failed\n");
}

}  // namespace
