// Compile-and-play tests: flipdeck converts a small project, the system C
// compiler builds the generated source together with player.c, and the
// player's account of each frame and camera cell is checked against the
// pictures the project puts there.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/fixture_builder.h"
#include "support/test_support.h"

namespace {

using testing_support::MakeSimpleTlf;
using testing_support::MakeTmf;
using testing_support::TempDir;

/// A picture as the player prints it: "16x16/4b img=00000011 pal=0000 par=0".
std::string Picture(int width, int height, int bits, uint32_t firstWord, uint16_t firstEntry,
                    int param = 0) {
  char text[96];
  std::snprintf(text, sizeof text, "%dx%d/%db img=%08x pal=%04x par=%d", width, height, bits,
                static_cast<unsigned>(firstWord), static_cast<unsigned>(firstEntry), param);
  return text;
}

/// A packed TMF file whose body bytes all hold `fill`, so that the first
/// image word is `fill` four times whatever the row order.
std::string FilledTmf(int width, int height, int bits, uint8_t fill) {
  const size_t rowBytes = (static_cast<size_t>(width) * bits + 7) / 8;
  const size_t packed = (rowBytes * height + 3) / 4 * 4;
  return MakeTmf(bits == 4 ? testing_support::kTmfTag4Bit : testing_support::kTmfTag8Bit, width,
                 height, bits, std::string(packed, static_cast<char>(fill)));
}

uint32_t Filled(uint8_t fill) { return 0x01010101u * fill; }

/// The first image word of a packed TMF file: the start of its last row,
/// which the generated array lists first.
uint32_t FirstWordOf(const std::string& tmf) {
  auto field = [&](size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(tmf.at(at + i));
    return value;
  };
  const size_t rowBytes = (field(8) * field(16) + 7) / 8;
  return field(64 + (field(12) - 1) * rowBytes);
}

/// What the player printed, taken apart.
struct Playback {
  std::vector<std::string> frames;           // picture on view per frame
  std::string camera;                        // "<x>x<y>"
  size_t cellCount = 0;                      // cells listed, empty ones included
  std::map<std::string, std::string> cells;  // "x,y" -> picture, filled cells only
};

Playback ParsePlayback(const std::string& text) {
  Playback play;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t colon = line.find(": ");
    if (line.rfind("frame ", 0) == 0) play.frames.push_back(line.substr(colon + 2));
    if (line.rfind("camera ", 0) == 0) play.camera = line.substr(7);
    if (line.rfind("cell ", 0) != 0) continue;
    ++play.cellCount;
    if (line.substr(colon + 2) != "NULL")
      play.cells[line.substr(5, colon - 5)] = line.substr(colon + 2);
  }
  return play;
}

/// `count` frames of `picture`, appended to `frames`.
void Show(std::vector<std::string>& frames, int count, const std::string& picture) {
  frames.insert(frames.end(), count, picture);
}

class PreviewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(PREVIEWER_CC).empty()) GTEST_SKIP() << "no C compiler found at configure time";
  }

  /// Runs `command` in a shell with both streams into `log`; true on exit status 0.
  bool Run(const std::string& command, std::string& log) const {
    const std::string logPath = m_dir.Path("command.log");
    const int status = std::system((command + " > \"" + logPath + "\" 2>&1").c_str());
    log = m_dir.Read("command.log");
    return status == 0;
  }

  /// Converts with flipdeck in the temporary directory; the run must succeed.
  void Convert(const std::vector<std::string>& args) {
    const auto result = testing_support::RunFlipdeck(args, m_dir.path().string());
    ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  }

  /// Builds the generated `cFile` with the player for a camera table of
  /// `columns` columns, plays it and fills `play` with what the player printed.
  void Play(const std::string& cFile, int columns, Playback& play) {
    const std::string cc = std::string("\"") + PREVIEWER_CC + "\" -std=c99 -Wall -I\"" +
                           PREVIEWER_DIR + "\" -I\"" + m_dir.path().string() + "\"";
    const std::string generatedObject = Quoted("generated.o");
    const std::string playerObject = Quoted("player.o");
    const std::string player = Quoted("player");
    std::string log;
    ASSERT_TRUE(Run(cc + " -c " + Quoted(cFile) + " -o " + generatedObject, log))
        << "the generated source does not compile:\n"
        << log;
    ASSERT_TRUE(Run(cc + " -DPLAYER_CAM_COLUMNS=" + std::to_string(columns) + " -c \"" +
                        PREVIEWER_DIR + "/player.c\" -o " + playerObject,
                    log))
        << log;
    ASSERT_TRUE(Run(cc + " " + generatedObject + " " + playerObject + " -o " + player, log))
        << "the generated source does not link with the player:\n"
        << log;
    ASSERT_TRUE(Run(player, log)) << log;
    play = ParsePlayback(log);
  }

  std::string Quoted(const std::string& name) const { return "\"" + m_dir.Path(name) + "\""; }

  TempDir m_dir;
};

TEST_F(PreviewerTest, WalkExamplePlaysBothPosesAndFillsTwoCells) {
  const std::filesystem::path example =
      std::filesystem::path(FLIPDECK_SOURCE_DIR) / "examples/walk";
  for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf"}) {
    m_dir.Write(name, testing_support::ReadFileBytes((example / name).string()));
  }
  // The same command line as `make demo`.
  Convert({"-owalk.c", "-ewalk.h", "walk.taf"});
  Playback play;
  ASSERT_NO_FATAL_FAILURE(Play("walk.c", 4, play));

  const std::string walk1 = Picture(16, 16, 4, FirstWordOf(m_dir.Read("walk1.tmf")), 0x0000);
  const std::string walk2 = Picture(16, 16, 4, FirstWordOf(m_dir.Read("walk2.tmf")), 0x0000);
  ASSERT_NE(walk1, walk2) << "the two poses must be told apart by their first image word";
  std::vector<std::string> frames;
  Show(frames, 10, walk1);
  Show(frames, 20, walk2);
  EXPECT_EQ(play.frames, frames);
  EXPECT_EQ(play.camera, "4x4");
  EXPECT_EQ(play.cellCount, 16u);
  EXPECT_EQ(play.cells, (std::map<std::string, std::string>{{"0,0", walk1}, {"1,0", walk2}}));
}

TEST_F(PreviewerTest, KeyFramesAcrossProjectsShowTheirPicturesWithSharedPalettes) {
  // Both projects take their palettes from one directory: shared.tlf serves
  // pictures of both, own.tlf only d.
  m_dir.Write("pal/shared.tlf", MakeSimpleTlf(16, 0x0100));
  m_dir.Write("pal/own.tlf", MakeSimpleTlf(16, 0x0200));
  m_dir.Write("a.tmf", FilledTmf(8, 2, 4, 0xa1));
  m_dir.Write("b.tmf", FilledTmf(8, 2, 4, 0xb2));
  m_dir.Write("c.tmf", FilledTmf(8, 2, 4, 0xc3));
  m_dir.Write("d.tmf", FilledTmf(8, 2, 4, 0xd4));
  m_dir.Write("p0.tpf",
              "TLF_DIR = pal\nPICT_NUM = 2\nPICT.0 = a,a.tmf,shared.tlf\n"
              "PICT.1 = b,b.tmf,shared.tlf,5\n");
  m_dir.Write("p1.tpf",
              "TLF_DIR = pal\nPICT_NUM = 2\nPICT.0 = c,c.tmf,shared.tlf,0x1f\n"
              "PICT.1 = d,d.tmf,own.tlf\n");
  m_dir.Write("anim.taf",
              "FRAME_ANIM = 1\nTPF.NUM = 2\nTPF.0.FILE = p0.tpf\nTPF.1.FILE = p1.tpf\n"
              "FRAME_LENGTH = 12\nFRAME_KEY = 5\n"
              "FRAME_KEY0 = 0,0,a\nFRAME_KEY1 = 3,1,c\nFRAME_KEY2 = 5,0,b\n"
              "FRAME_KEY3 = 6,1,d\nFRAME_KEY4 = 9,0,a\n");
  ASSERT_NO_FATAL_FAILURE(Convert({"-oanim.c", "-eanim.h", "anim.taf"}));
  Playback play;
  ASSERT_NO_FATAL_FAILURE(Play("anim.c", 0, play));

  const std::string a = Picture(8, 2, 4, Filled(0xa1), 0x0100);
  std::vector<std::string> frames;
  Show(frames, 3, a);
  Show(frames, 2, Picture(8, 2, 4, Filled(0xc3), 0x0100, 31));
  Show(frames, 1, Picture(8, 2, 4, Filled(0xb2), 0x0100, 5));
  Show(frames, 3, Picture(8, 2, 4, Filled(0xd4), 0x0200));
  Show(frames, 3, a);
  EXPECT_EQ(play.frames, frames);
  // Without CAM_ANIM the camera table is still there, empty.
  EXPECT_EQ(play.camera, "0x0");
  EXPECT_EQ(play.cellCount, 0u);
}

TEST_F(PreviewerTest, CameraGridKeepsTheLastVisitedPictureOfACellAndLeavesOthersEmpty) {
  m_dir.Write("pal.tlf", MakeSimpleTlf(16, 0x0700));
  m_dir.Write("a.tmf", FilledTmf(4, 4, 4, 0x1a));
  m_dir.Write("b.tmf", FilledTmf(4, 4, 4, 0x2b));
  m_dir.Write("p.tpf", "PICT_NUM = 2\nPICT.0 = a,a.tmf,pal.tlf\nPICT.1 = b,b.tmf,pal.tlf,2\n");
  // CAM.1.2 and CAM.01.2 name one cell. The keys are visited in the
  // settings file's enumeration order, where CAM.01.2 (bucket 1) comes
  // before CAM.1.2 (bucket 15), so a wins although its line is first.
  m_dir.Write("anim.taf",
              "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = p.tpf\nFRAME_LENGTH = 2\n"
              "FRAME_KEY = 1\nFRAME_KEY0 = 0,0,b\n"
              "CAM_ANIM = 1\nCAM_XZ_NUM = 2\nCAM_Y_NUM = 1\n"
              "CAM.0.0 = 0,a\nCAM.7.3 = 0,b\nCAM.2 = 0,b\nCAM.1.2 = 0,a\nCAM.01.2 = 0,b\n");
  ASSERT_NO_FATAL_FAILURE(Convert({"-oanim.c", "-eanim.h", "anim.taf"}));
  Playback play;
  ASSERT_NO_FATAL_FAILURE(Play("anim.c", 8, play));

  const std::string a = Picture(4, 4, 4, Filled(0x1a), 0x0700);
  const std::string b = Picture(4, 4, 4, Filled(0x2b), 0x0700, 2);
  EXPECT_EQ(play.frames, (std::vector<std::string>{b, b}));
  EXPECT_EQ(play.camera, "8x4");
  EXPECT_EQ(play.cellCount, 32u);
  EXPECT_EQ(play.cells,
            (std::map<std::string, std::string>{{"0,0", a}, {"2,0", b}, {"1,2", a}, {"7,3", b}}));
}

TEST_F(PreviewerTest, EightAndFourBitPicturesPlayWithAndWithoutHeader) {
  m_dir.Write("big.tlf", MakeSimpleTlf(256, 0x0300));
  m_dir.Write("small.tlf", MakeSimpleTlf(16, 0x0400));
  m_dir.Write("big.tmf", FilledTmf(8, 2, 8, 0x5a));
  m_dir.Write("small.tmf", FilledTmf(5, 3, 4, 0x33));  // odd width: rows of 2.5 bytes
  m_dir.Write("p.tpf",
              "PICT_NUM = 2\nPICT.0 = big,big.tmf,big.tlf\nPICT.1 = small,small.tmf,small.tlf\n");
  m_dir.Write("anim.taf",
              "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = p.tpf\nFRAME_LENGTH = 4\n"
              "FRAME_KEY = 2\nFRAME_KEY0 = 0,0,big\nFRAME_KEY1 = 2,0,small\n"
              "CAM_ANIM = 1\nCAM_XZ_NUM = 1\nCAM_Y_NUM = 1\nCAM.3.3 = 0,big\nCAM.0.1 = 0,small\n");
  const std::string big = Picture(8, 2, 8, Filled(0x5a), 0x0300);
  const std::string small = Picture(5, 3, 4, Filled(0x33), 0x0400);

  // Without -e the generated source names no header: flipdeck.h alone must
  // define the image structures.
  for (const bool withHeader : {true, false}) {
    SCOPED_TRACE(withHeader ? "with -e" : "without -e");
    std::vector<std::string> args = {"-oanim.c", "anim.taf"};
    if (withHeader) args.insert(args.begin(), "-eanim.h");
    ASSERT_NO_FATAL_FAILURE(Convert(args));
    Playback play;
    ASSERT_NO_FATAL_FAILURE(Play("anim.c", 4, play));
    EXPECT_EQ(play.frames, (std::vector<std::string>{big, big, small, small}));
    EXPECT_EQ(play.cells, (std::map<std::string, std::string>{{"3,3", big}, {"0,1", small}}));
  }
}

}  // namespace
