// Compile-and-play tests: flipdeck converts a small project, the system C
// compiler builds the generated source with player.c, and the pictures the
// player finds at each frame and in each camera cell are checked.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/fixture_builder.h"
#include "support/test_support.h"

namespace {

using testing_support::MakeSimpleTlf;
// The player's lines by what comes before ": " ("frame", "camera", "cell"),
// the values in the order printed.
using Playback = std::map<std::string, std::vector<std::string>>;

/// Two passes of each picture for its count of frames in turn:
/// {{2, a}, {1, b}} -> a, a, b, a, a, b.
std::vector<std::string> Frames(const std::vector<std::pair<int, std::string>>& runs) {
  std::vector<std::string> frames;
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& [count, picture] : runs) frames.insert(frames.end(), count, picture);
  }
  return frames;
}

class PreviewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(PREVIEWER_CC).empty()) GTEST_SKIP() << "no C compiler found at configure time";
  }

  /// Writes `name`, a TMF whose bytes all hold `fill` (so row order does not
  /// matter), and returns how the player shows it with `firstEntry` first in
  /// its palette: "8x2/4b img=a1a1a1a1 pal=0100 par=0".
  std::string Tmf(const std::string& name, int width, int height, int bits, unsigned fill,
                  unsigned firstEntry, int param = 0) {
    const size_t bytes = ((width * bits + 7) / 8 * height + 3) / 4 * 4;
    m_dir.Write(name, EncodeTmfFile({TmfTagFor(bits), width, height, bits},
                                    std::string(bytes, static_cast<char>(fill))));
    char text[64];
    std::snprintf(text, sizeof text, "%dx%d/%db img=%08x pal=%04x par=%d", width, height, bits,
                  0x01010101u * fill, firstEntry, param);
    return text;
  }

  /// Converts with `args` (-o<file> first), builds the generated file with the
  /// player for a camera table of `columns` columns and plays it; empty after
  /// reporting the step that failed.
  Playback ConvertAndPlay(const std::vector<std::string>& args, int columns) {
    const auto result = testing_support::RunFlipdeck(args, m_dir.path().string());
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    // Every step runs in the scratch directory, next to the generated files.
    const std::string cd = "cd \"" + m_dir.path().string() + "\" && ";
    const std::string cc = cd + "\"" PREVIEWER_CC "\" -std=c99 -Wall -I\"" PREVIEWER_DIR "\" ";
    const std::string steps[] = {cc + "-c " + args[0].substr(2) + " -o generated.o",
                                 cc + "-DPLAYER_CAM_COLUMNS=" + std::to_string(columns) +
                                     " -c \"" PREVIEWER_DIR "/player.c\"",
                                 cc + "generated.o player.o -o player", cd + "./player"};
    for (const std::string& step : steps) {
      if (std::system((step + " > log 2>&1").c_str()) == 0) continue;
      ADD_FAILURE() << step << "\n" << m_dir.Read("log");
      return {};
    }
    Playback play;
    std::istringstream lines(m_dir.Read("log"));
    for (std::string line; std::getline(lines, line);) {
      const size_t colon = line.find(": ");
      if (colon != std::string::npos) play[line.substr(0, colon)].push_back(line.substr(colon + 2));
    }
    return play;
  }

  testing_support::TempDir m_dir;
};

TEST_F(PreviewerTest, WalkExamplePlaysBothPosesAndFillsTwoCells) {
  testing_support::CopyWalkExample(m_dir);
  // The images list their top row first: walk1's is empty, walk2's holds the head.
  const std::string walk1 = "16x16/4b img=00000000 pal=0000 par=0";
  const std::string walk2 = "16x16/4b img=00000011 pal=0000 par=0";
  // The command line of `make demo`.
  EXPECT_EQ(ConvertAndPlay({"-owalk.c", "-ewalk.h", "walk.taf"}, 4),
            (Playback{{"frame", Frames({{10, walk1}, {20, walk2}})},
                      {"camera", {"4x4"}},
                      {"cell", {"0,0 " + walk1, "1,0 " + walk2}}}));
}

TEST_F(PreviewerTest, PicturesOfTwoProjectsPlayWithAndWithoutHeader) {
  m_dir.Write("pal/s.tlf", MakeSimpleTlf(16, 0x0100));
  m_dir.Write("pal/o.tlf", MakeSimpleTlf(16, 0x0200));
  m_dir.Write("pal/b.tlf", MakeSimpleTlf(256, 0x0300));
  // 4-bit and 8-bit pixels, an odd width (rows of 2.5 bytes), palettes
  // shared across the projects.
  const std::string a = Tmf("a.tmf", 8, 2, 4, 0xa1, 0x0100);
  const std::string b = Tmf("b.tmf", 8, 2, 8, 0xb2, 0x0300, 5);
  const std::string c = Tmf("c.tmf", 5, 3, 4, 0xc3, 0x0100, 31);
  const std::string d = Tmf("d.tmf", 8, 2, 4, 0xd4, 0x0200);
  m_dir.Write("p0.tpf", "TLF_DIR=pal\nPICT_NUM=2\nPICT.0=a,a.tmf,s.tlf\nPICT.1=b,b.tmf,b.tlf,5\n");
  m_dir.Write("p1.tpf",
              "TLF_DIR=pal\nPICT_NUM=2\nPICT.0=c,c.tmf,s.tlf,0x1f\nPICT.1=d,d.tmf,o.tlf\n");
  const std::string taf =
      "FRAME_ANIM = 1\nTPF.NUM = 2\nTPF.0.FILE = p0.tpf\nTPF.1.FILE = p1.tpf\n"
      "FRAME_LENGTH = 12\nFRAME_KEY = 5\nFRAME_KEY0 = 0,0,a\nFRAME_KEY1 = 3,1,c\n"
      "FRAME_KEY2 = 5,0,b\nFRAME_KEY3 = 6,1,d\nFRAME_KEY4 = 9,0,a\n";
  const std::vector<std::string> frames = Frames({{3, a}, {2, c}, {1, b}, {3, d}, {3, a}});

  // CAM.1.2 and CAM.01.2 name one cell. The keys are visited in the settings
  // file's enumeration order, where CAM.01.2 (bucket 1) comes before CAM.1.2
  // (bucket 15), so a wins although its line is first. CAM.2 is cell 2,0.
  m_dir.Write("anim.taf", taf +
                              "CAM_ANIM = 1\nCAM_XZ_NUM = 2\nCAM_Y_NUM = 1\nCAM.0.0 = 0,a\n"
                              "CAM.7.3 = 1,d\nCAM.2 = 0,b\nCAM.1.2 = 0,a\nCAM.01.2 = 0,b\n");
  EXPECT_EQ(ConvertAndPlay({"-oanim.c", "-eanim.h", "anim.taf"}, 8),
            (Playback{{"frame", frames},
                      {"camera", {"8x4"}},
                      {"cell", {"0,0 " + a, "2,0 " + b, "1,2 " + a, "7,3 " + d}}}));
  // Without -e the source names no header, so flipdeck.h alone must define
  // the image structure; without CAM_ANIM the camera table is there, empty.
  m_dir.Write("anim.taf", taf);
  EXPECT_EQ(ConvertAndPlay({"-oanim.c", "anim.taf"}, 0),
            (Playback{{"frame", frames}, {"camera", {"0x0"}}}));
}

}  // namespace
