// Compile-and-play: flipdeck converts an animation, the system C compiler
// builds the generated source with player.c, and what the player shows at
// each frame and in each camera cell must be what the timeline and camera
// grid models say, and what flipdeck-kit's preview plays from them: its
// steps, each looked up by its first frame as the page looks it up, and
// its camera cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "anime/anime_file.h"
#include "anime/camera_grid.h"
#include "anime/timeline.h"
#include "kit/preview/preview_model.h"
#include "project/picture_library.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

namespace {

namespace ts = testing_support;
// The player's lines by what comes before ": " ("frame", "camera", "cell").
using Playback = std::map<std::string, std::vector<std::string>>;

class PreviewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(PREVIEWER_CC).empty()) GTEST_SKIP() << "no C compiler found at configure time";
  }

  // Converts with `args` (-o<file> first), builds the generated file with the
  // player (given `defines`) and plays it; empty after reporting the step
  // that failed.
  Playback ConvertAndPlay(const std::vector<std::string>& args, int columns,
                          const std::string& defines = "") {
    const auto result = ts::RunFlipdeck(args, m_dir.path().string());
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    const std::string cd = "cd \"" + m_dir.path().string() + "\" && ";
    const std::string cc = cd + "\"" PREVIEWER_CC "\" -std=c99 -Wall -I\"" PREVIEWER_DIR "\" ";
    const std::string steps[] = {cc + "-c " + args[0].substr(2) + " -o generated.o",
                                 cc + defines + " -DPLAYER_CAM_COLUMNS=" + std::to_string(columns) +
                                     " -c \"" PREVIEWER_DIR "/player.c\"",
                                 cc + "generated.o player.o -o player", cd + "./player"};
    for (const std::string& step : steps) {
      if (std::system((step + " > log 2>&1").c_str()) == 0) continue;
      ADD_FAILURE() << step << "\n" << m_dir.Read("log");
      return {};
    }
    return Lines(m_dir.Read("log"));
  }

  // What the models say the player shows: two passes of FRAME_LENGTH frames
  // and every filled camera cell, each picture told as the player tells it.
  Playback Expected(const std::string& tafName) {
    ts::ScopedWorkingDir cwd(m_dir.path());
    CAnimeFile anime{testing_support::FailOnLoadError};
    EXPECT_TRUE(anime.Load(tafName));
    int32_t length = 0;
    int32_t keyCount = 0;
    anime.GetInt("FRAME_LENGTH", length);
    anime.GetInt("FRAME_KEY", keyCount);
    const CTimeline timeline = ReadTimeline(anime, length, keyCount);
    CCameraGrid grid;
    ReadCameraGrid(anime, grid);

    std::ostringstream play;
    for (int64_t frame = 0; frame < 2 * int64_t{length}; ++frame) {
      const CKeyFrame& key = timeline.views[timeline.ViewAt(frame)].key;
      play << "frame: " << Describe(anime, key.project, key.picture) << "\n";
    }
    play << "camera: " << grid.sizeX << "x" << grid.sizeY << "\n";
    for (const auto& [position, index] : grid.FilledCells()) {
      const CCameraKey& key = grid.keys[index];
      play << "cell: " << key.x << "," << key.y << " " << Describe(anime, key.project, key.picture)
           << "\n";
    }
    return Lines(play.str());
  }

  // What the preview plays: the step whose frames hold each frame of the
  // pass, for two passes of FRAME_LENGTH frames, and its camera cells, each
  // picture read from the files the preview resolved.
  Playback Previewed(const std::string& tafName) {
    ts::ScopedWorkingDir cwd(m_dir.path());
    CAnimeFile anime{testing_support::FailOnLoadError};
    CPreview preview;
    EXPECT_TRUE(anime.Load(tafName) && ReadPreview(anime, tafName, false, preview));
    std::ostringstream play;
    for (int64_t frame = 0; preview.cycle > 0 && frame < 2 * int64_t{preview.frameLength};
         ++frame) {
      const int64_t inPass = frame % preview.cycle;
      const auto step = std::find_if(
          preview.steps.begin(), preview.steps.end(),
          [&](const auto& s) { return s.first <= inPass && inPass < s.first + s.frames; });
      EXPECT_NE(step, preview.steps.end()) << "frame " << frame;
      if (step == preview.steps.end()) return {};
      play << "frame: " << Describe(preview, step->show) << "\n";
    }
    play << "camera: " << preview.columns << "x" << preview.rows << "\n";
    for (const CPreviewCell& cell : preview.cells)
      play << "cell: " << cell.x << "," << cell.y << " " << Describe(preview, cell.show) << "\n";
    return Lines(play.str());
  }

  static Playback Lines(const std::string& text) {
    Playback play;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      const size_t colon = line.find(": ");
      if (colon != std::string::npos) play[line.substr(0, colon)].push_back(line.substr(colon + 2));
    }
    return play;
  }

  // A picture as the player prints it: "8x2/4b img=a1a1a1a1 pal=0100 par=0",
  // read through flipdeck's own project, image and palette loaders.
  std::string Describe(const CAnimeFile& anime, int32_t project, const std::string& picture) {
    std::string tpf;
    anime.GetString("TPF." + std::to_string(project) + ".FILE", tpf);
    bool loaded = false;
    CPictureInfo info;
    EXPECT_TRUE(m_library.GetProject(tpf, loaded).Lookup(picture, info)) << picture;
    std::string tmfPath;
    std::string tlfPath;
    m_library.FindFiles(tpf, info, tmfPath, tlfPath);
    return Describe(tmfPath, tlfPath, info.m_nParam);
  }

  static std::string Describe(const CPreview& preview, const CPreviewShow& show) {
    const CPreviewPicture& picture = preview.pictures[show.picture];
    return Describe(picture.tmfPath, picture.tlfPath, show.param);
  }

  static std::string Describe(const std::string& tmfPath, const std::string& tlfPath,
                              int32_t param) {
    CTmfImage image;
    CTlfPalette palette;
    EXPECT_TRUE(image.Load(tmfPath, testing_support::FailOnLoadError) &&
                palette.Load(tlfPath, testing_support::FailOnLoadError))
        << tmfPath;
    const std::vector<uint8_t> bytes = image.MakeExportBytes();
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) word = word << 8 | (i < bytes.size() ? bytes[i] : 0);
    std::ostringstream text;
    text << image.GetWidth() << "x" << image.GetHeight() << "/" << image.GetBitsPerPixel()
         << "b img=" << std::hex << std::setfill('0') << std::setw(8) << word
         << " pal=" << std::setw(4) << palette.GetEntries()[0] << std::dec << " par=" << param;
    return text.str();
  }

  ts::TempDir m_dir;
  CPictureLibrary m_library;
};

// The walk example, converted by the command line of `make demo`, plays as
// the models say; its sheet, the two poses side by side with their
// durations, makes a project that plays as the example does, and one cut
// by a grid plays as its models say.
TEST_F(PreviewerTest, WalkExampleAndItsSheetPlayAsTheModelsSay) {
  ts::WriteWalkExample(m_dir.path(), {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf",
                                      "walk-sheet.png", "walk-sheet.json"});
  const auto made =
      ts::RunFlipdeckKit({"new", "sheet", "--sheet", "walk-sheet.json"}, m_dir.path().string());
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  const Playback example = ConvertAndPlay({"-owalk.c", "-ewalk.h", "walk.taf"}, 4);
  EXPECT_EQ(example, Expected("walk.taf"));
  EXPECT_EQ(example, Previewed("walk.taf"));
  const Playback sheet = ConvertAndPlay({"-osheet.c", "sheet.taf"}, 0);
  ASSERT_EQ(example.count("frame"), 1u);
  EXPECT_EQ(sheet.at("frame"), example.at("frame"));
  // Cut by a grid instead, each cell on view for 100 ms: 6 frames at 60 fps.
  const auto cut = ts::RunFlipdeckKit({"new", "grid", "--grid", "16x16", "walk-sheet.png"},
                                      m_dir.path().string());
  ASSERT_EQ(cut.exitStatus, 0) << cut.err;
  EXPECT_NE(m_dir.Read("grid.taf").find("FRAME_KEY1 = 6,0,cell_1\n"), std::string::npos);
  EXPECT_EQ(ConvertAndPlay({"-ogrid.c", "grid.taf"}, 0), Expected("grid.taf"));
}

// Animations drawn at random over two projects: 4-bit and 8-bit pictures of
// odd and even widths, palettes shared across projects, key frames that
// share a frame or lie past the end, and camera grids with keys that name
// one cell twice (CAM.1.2 and CAM.01.2) or fill no cell at all.
TEST_F(PreviewerTest, GeneratedAnimationsPlayAsTheModelsSay) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    m_dir.Write("pal/a.tlf", ts::MakeSimpleTlf(16, static_cast<uint16_t>(0x0100 * seed)));
    m_dir.Write("pal/b.tlf", ts::MakeSimpleTlf(256, static_cast<uint16_t>(0x0200 * seed)));
    std::string tpf[2] = {"TLF_DIR=pal\nPICT_NUM=6\n", "TLF_DIR=pal\nPICT_NUM=6\n"};
    for (int p = 0; p < 6; ++p) {
      const int bits = p % 2 == 0 ? 4 : 8;
      const int width = 3 + pick(9);
      const int height = 1 + pick(4);
      std::string body((TmfRowBytes(width, bits) * height + 3) / 4 * 4, '\0');
      for (char& byte : body) byte = static_cast<char>(pick(256));
      const std::string name = "p" + std::to_string(p);
      m_dir.Write(name + ".tmf", EncodeTmfFile({TmfTagFor(bits), width, height, bits}, body));
      tpf[p % 2] += "PICT." + std::to_string(p / 2) + "=" + name + "," + name + ".tmf," +
                    (bits == 4 ? "a.tlf" : "b.tlf") + "," + std::to_string(pick(40)) + "\n";
    }
    m_dir.Write("p0.tpf", tpf[0]);
    m_dir.Write("p1.tpf", tpf[1]);

    const int keys = 2 + pick(7);
    int frame = 0;
    int last = 0;
    std::string taf = "FRAME_ANIM=1\nTPF.NUM=2\nTPF.0.FILE=p0.tpf\nTPF.1.FILE=p1.tpf\nFRAME_KEY=" +
                      std::to_string(keys) + "\n";
    for (int k = 0; k < keys; ++k) {
      const int p = pick(6);
      last = frame;
      taf += "FRAME_KEY" + std::to_string(k) + "=" + std::to_string(frame) + "," +
             std::to_string(p % 2) + ",p" + std::to_string(p) + "\n";
      frame += k == 0 ? 3 + pick(3) : pick(4);
    }
    // The last view lasts some frames, none, or fewer than none (the key
    // frame lies past the end), by turns.
    const int lastFrames[] = {3, 0, -2, 5};
    taf += "FRAME_LENGTH=" + std::to_string(last + lastFrames[seed % 4]) + "\n";
    const int countXZ = 1 + pick(2);
    taf += "CAM_ANIM=1\nCAM_XZ_NUM=" + std::to_string(countXZ) + "\nCAM_Y_NUM=1\n";
    for (int c = 0; c < 6; ++c) {
      const int p = pick(6);
      taf += "CAM." + std::string(pick(3) == 0 ? "0" : "") + std::to_string(pick(4 * countXZ)) +
             "." + std::to_string(pick(4)) + "=" + std::to_string(p % 2) + ",p" +
             std::to_string(p) + "\n";
    }
    m_dir.Write("anim.taf", taf);
    m_library = CPictureLibrary();
    const std::vector<std::string> args =
        seed % 2 == 0 ? std::vector<std::string>{"-oanim.c", "anim.taf"}
                      : std::vector<std::string>{"-oanim.c", "-eanim.h", "anim.taf"};
    const Playback played = ConvertAndPlay(args, 4 * countXZ);
    EXPECT_EQ(played, Expected("anim.taf")) << taf;
    EXPECT_EQ(played, Previewed("anim.taf")) << taf;
  }
}

// flipdeck-kit new makes a project that flipdeck converts at once, and
// each picture stays on view for the frames it was given, under a name
// made from its file's.
TEST_F(PreviewerTest, NewProjectShowsEachPictureForItsFrames) {
  m_dir.Write("art/walk 1.png", ts::WalkExample("walk1.png"));
  m_dir.Write("art/9.png", ts::WalkExample("walk2.png"));
  const auto made = ts::RunFlipdeckKit(
      {"new", "anim", "art/walk 1.png", "art/9.png", "art/walk 1.png", "--frames", "2,3,1"},
      m_dir.path().string());
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  const Playback played = ConvertAndPlay({"-oanim.c", "-eanim.h", "anim.taf"}, 0);

  ts::ScopedWorkingDir cwd(m_dir.path());
  CAnimeFile anime{testing_support::FailOnLoadError};
  ASSERT_TRUE(anime.Load("anim.taf"));
  // A picture given twice is listed once and shown twice; a name may not
  // start with a digit.
  const std::pair<const char*, int> shown[] = {{"walk_1", 2}, {"_9", 3}, {"walk_1", 1}};
  std::vector<std::string> frames;
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& [name, count] : shown)
      frames.insert(frames.end(), count, Describe(anime, 0, name));
  }
  EXPECT_EQ(played.at("frame"), frames);
}

// new --sheet makes a project whose animations flipdeck converts at once,
// and the picture the player shows at every frame is the sheet frame due
// then, whichever layout the sheet's JSON takes (sheet/README.md).
TEST_F(PreviewerTest, SheetAnimationsShowTheFrameDueAtEveryFrame) {
  const std::string sheet = PREVIEWER_DIR "/sheet/";
  m_dir.Write("art/sheet image.png", ts::ReadFileBytes(sheet + "sheet image.png"));
  for (const char* layout : {"array.json", "keyed.json"}) {
    SCOPED_TRACE(layout);
    m_dir.Write("art/sheet.json", ts::ReadFileBytes(sheet + layout));
    const auto run = ts::RunFlipdeckKit({"new", "anim", "--sheet", "art/sheet.json", "--force"},
                                        m_dir.path().string());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, ts::ReadFileBytes(sheet + "new.stdout"));
    EXPECT_EQ(run.err, ts::ReadFileBytes(sheet + "new.stderr"));
    for (const std::string name :
         {"anim", "anim-walk", "anim-back", "anim-bounce", "anim-run____fast_____"}) {
      EXPECT_EQ(ConvertAndPlay({"-o" + name + ".c", name + ".taf"}, 0, "-DPLAYER_SEEN"),
                Lines(ts::ReadFileBytes(sheet + name + ".play")))
          << name;
    }
  }
}

}  // namespace
