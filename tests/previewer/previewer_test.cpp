// Compile-and-play: flipdeck converts an animation, the system C compiler
// builds the generated source with player.c, and what the player shows at
// each frame and in each camera cell must be what the timeline and camera
// grid models say, and what flipdeck-kit's preview plays from them: its
// steps, each looked up by its first frame as the page looks it up, and
// its camera cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "anime/anime_file.h"
#include "anime/camera_grid.h"
#include "anime/timeline.h"
#include "image/colour.h"
#include "kit/preview/preview_model.h"
#include "project/picture_library.h"
#include "support/fixture_builder.h"
#include "support/png_fixture.h"
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
    char text[96];
    std::snprintf(text, sizeof text, "%dx%d/%db img=%08x pal=%04x par=%d", image.GetWidth(),
                  image.GetHeight(), image.GetBitsPerPixel(), word, palette.GetEntries()[0], param);
    return text;
  }

  ts::TempDir m_dir;
  CPictureLibrary m_library;
};

TEST_F(PreviewerTest, WalkExamplePlaysAsTheModelsSay) {
  for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf"})
    m_dir.Write(name,
                ts::ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/examples/walk/" + name));
  // The command line of `make demo`.
  const Playback played = ConvertAndPlay({"-owalk.c", "-ewalk.h", "walk.taf"}, 4);
  EXPECT_EQ(played, Expected("walk.taf"));
  EXPECT_EQ(played, Previewed("walk.taf"));
  EXPECT_EQ(played.at("frame").size(), 60u);
}

// The example's sheet, its two poses side by side with their durations,
// makes a project that plays as the example does.
TEST_F(PreviewerTest, WalkSheetPlaysAsTheWalkExample) {
  const std::string walk = std::string(FLIPDECK_SOURCE_DIR) + "/examples/walk/";
  for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf",
                           "walk-sheet.png", "walk-sheet.json"})
    m_dir.Write(name, ts::ReadFileBytes(walk + name));
  const auto made =
      ts::RunFlipdeckKit({"new", "sheet", "--sheet", "walk-sheet.json"}, m_dir.path().string());
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  const Playback example = ConvertAndPlay({"-owalk.c", "walk.taf"}, 4);
  const Playback sheet = ConvertAndPlay({"-osheet.c", "sheet.taf"}, 0);
  ASSERT_EQ(example.count("frame"), 1u);
  EXPECT_EQ(sheet.at("frame"), example.at("frame"));
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
// each picture stays on view for the frames it was given.
TEST_F(PreviewerTest, NewProjectShowsEachPictureForItsFrames) {
  const std::string walk = std::string(FLIPDECK_SOURCE_DIR) + "/examples/walk/";
  m_dir.Write("art/walk 1.png", ts::ReadFileBytes(walk + "walk1.png"));
  m_dir.Write("art/walk2.png", ts::ReadFileBytes(walk + "walk2.png"));
  const auto made = ts::RunFlipdeckKit(
      {"new", "anim", "art/walk 1.png", "art/walk2.png", "art/walk 1.png", "--frames", "2,3,1"},
      m_dir.path().string());
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  const Playback played = ConvertAndPlay({"-oanim.c", "-eanim.h", "anim.taf"}, 0);

  ts::ScopedWorkingDir cwd(m_dir.path());
  CAnimeFile anime{testing_support::FailOnLoadError};
  ASSERT_TRUE(anime.Load("anim.taf"));
  // A picture given twice is listed once and shown twice.
  const std::pair<const char*, int> shown[] = {{"walk_1", 2}, {"walk2", 3}, {"walk_1", 1}};
  std::vector<std::string> frames;
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& [name, count] : shown)
      frames.insert(frames.end(), count, Describe(anime, 0, name));
  }
  EXPECT_EQ(played.at("frame"), frames);
}

// A frame of a sprite sheet as an editor or packer writes one, from the
// format's description: its upright picture (a clear border hiding
// `hidden`; inside, opaque colours, alpha 200, which shows, and alpha 100,
// which does not), stored whole or trimmed to its inside, upright or turned
// 90 degrees clockwise.
struct SheetFrame {
  uint32_t width, height;
  int seed;
  Rgba8 hidden;
  bool trimmed, rotated;
  uint32_t duration;

  Rgba8 At(uint32_t x, uint32_t y) const {
    const Rgba8 inside[] = {{255, 0, 0, 255}, {0, 165, 24, 255}, {57, 57, 57, 200}, {9, 9, 9, 100}};
    if (x == 0 || y == 0 || x + 1 == width || y + 1 == height) return hidden;
    return inside[(x * 3 + y * 5 + static_cast<uint32_t>(seed)) % 4];
  }
  // What the player tells of it with PLAYER_SEEN: its size and the hash of
  // its RGBA 5551 colours, each pixel nobody sees as 0.
  std::string Seen() const {
    uint32_t hash = 2166136261u;
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        const uint16_t entry = ToRgba5551(At(x, y));
        hash = (hash ^ ((entry & 1) != 0 ? entry : 0u)) * 16777619u;
      }
    }
    char text[48];
    std::snprintf(text, sizeof text, "%ux%u seen=%08x", width, height, hash);
    return text;
  }
};

// Writes art/sheet image.png, the frames' areas left to right a pixel apart
// on a background no frame may show, and art/sheet.json: its frames an
// array of objects with their filenames, or an object keyed by them.
void WriteSheet(const ts::TempDir& dir, const std::vector<SheetFrame>& frames,
                const std::string& tags, bool keyed) {
  uint32_t width = 1;
  std::vector<uint32_t> lefts;
  for (const SheetFrame& frame : frames) {
    lefts.push_back(width);
    width += (frame.rotated ? frame.height : frame.width) + 1;
  }
  constexpr uint32_t kHeight = 8;
  std::vector<uint16_t> samples(size_t{width} * kHeight * 4, 255);
  std::string json;
  for (size_t at = 0; at < frames.size(); ++at) {
    const SheetFrame& f = frames[at];
    const uint32_t inset = f.trimmed ? 1 : 0;
    const uint32_t w = f.width - 2 * inset;
    const uint32_t h = f.height - 2 * inset;
    for (uint32_t v = 0; v < h; ++v) {
      for (uint32_t u = 0; u < w; ++u) {
        // Turned clockwise, the upright top left goes to the top right.
        const uint32_t x = lefts[at] + (f.rotated ? h - 1 - v : u);
        const uint32_t y = 1 + (f.rotated ? u : v);
        const Rgba8 c = f.At(u + inset, v + inset);
        std::copy_n(std::array<uint16_t, 4>{c.r, c.g, c.b, c.a}.begin(), 4,
                    samples.begin() + static_cast<ptrdiff_t>((y * width + x) * 4));
      }
    }
    const auto n = [](uint32_t value) { return std::to_string(value); };
    const std::string name = "f" + std::to_string(at) + ".png";
    json += std::string(at == 0 ? "" : ",") +
            (keyed ? "\"" + name + "\": {" : "{\"filename\": \"" + name + "\", ") +
            "\"frame\": {\"x\": " + n(lefts[at]) + ", \"y\": 1, \"w\": " + n(w) +
            ", \"h\": " + n(h) + "}, \"rotated\": " + (f.rotated ? "true" : "false") +
            ", \"trimmed\": " + (f.trimmed ? "true" : "false") +
            ", \"spriteSourceSize\": {\"x\": " + n(inset) + ", \"y\": " + n(inset) +
            ", \"w\": " + n(w) + ", \"h\": " + n(h) + "}, \"sourceSize\": {\"w\": " + n(f.width) +
            ", \"h\": " + n(f.height) + "}, \"duration\": " + n(f.duration) + "}";
  }
  const std::vector<uint8_t> png =
      ts::MakeTestPng({6, 8, false, width, kHeight, samples, {}, 0, {}});
  dir.Write("art/sheet image.png", std::string(png.begin(), png.end()));
  // Only the array layout gives the sheet's size: without, the PNG does.
  dir.Write("art/sheet.json",
            "{\"frames\": " + (keyed ? "{" + json + "}" : "[" + json + "]") +
                ", \"meta\": {\"app\": \"a test\", \"image\": \"sheet image.png\"" +
                (keyed ? "" : ", \"size\": {\"w\": " + std::to_string(width) + ", \"h\": 8}") +
                ", \"frameTags\": [" + tags + "], \"slices\": [{\"name\": \"hit\"}]}}");
}

// new --sheet makes a project whose animations flipdeck converts at once,
// and the picture the player shows at every frame is the sheet frame due
// at the middle of that frame: the last whose start, the durations before
// it added up, comes before it.
TEST_F(PreviewerTest, SheetAnimationsShowTheFrameDueAtEveryFrame) {
  // Frames 0 and 3 are one picture under other hidden colours, 1 and 6 one
  // picture trimmed and whole. 16, 17 and 33 ms at 60 fps carry their
  // rounding; 5 ms is shorter than a frame.
  const std::vector<SheetFrame> frames = {{6, 5, 0, {1, 2, 3, 0}, false, false, 16},
                                          {6, 5, 1, {}, true, false, 17},
                                          {5, 4, 2, {}, true, true, 17},
                                          {6, 5, 0, {200, 100, 0, 127}, false, false, 33},
                                          {3, 6, 3, {}, false, true, 5},
                                          {4, 3, 1, {}, true, false, 100},
                                          {6, 5, 1, {}, false, false, 33},
                                          {6, 5, 2, {}, true, true, 16}};
  const std::string tags =
      R"({"name": "walk", "from": 0, "to": 3, "direction": "forward"},)"
      R"({"name": "back", "from": 1, "to": 4, "direction": "reverse"},)"
      R"({"name": "bounce", "from": 2, "to": 5, "direction": "pingpong", "repeat": "2"},)"
      R"({"name": "run: <\"fast\">?|*", "from": 4, "to": 7, "direction": "pingpong_reverse"})";
  const std::pair<std::string, std::vector<uint32_t>> animations[] = {
      {"anim.taf", {0, 1, 2, 3, 4, 5, 6, 7}},
      {"anim-walk.taf", {0, 1, 2, 3}},
      {"anim-back.taf", {4, 3, 2, 1}},
      {"anim-bounce.taf", {2, 3, 4, 5, 4, 3, 2, 3, 4, 5, 4, 3}},
      {"anim-run____fast_____.taf", {7, 6, 5, 4, 5, 6}}};
  constexpr uint64_t kFps = 60;

  std::map<std::string, std::string> first;
  for (const bool keyed : {false, true}) {
    SCOPED_TRACE(keyed ? "frames keyed by name" : "an array of frames");
    WriteSheet(m_dir, frames, tags, keyed);
    const auto run = ts::RunFlipdeckKit({"new", "anim", "--sheet", "art/sheet.json", "--force"},
                                        m_dir.path().string());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("art/sheet.json: 8 frames, 6 pictures"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("art/sheet.json: meta.slices is not used"), std::string::npos);
    EXPECT_NE(run.err.find("warning: anim.taf: frame \"f4.png\" (5 ms) gets no key frame"),
              std::string::npos)
        << run.err;
    for (const auto& [taf, plays] : animations) {
      SCOPED_TRACE(taf);
      std::vector<uint64_t> starts{0};  // milliseconds
      for (const uint32_t play : plays) starts.push_back(starts.back() + frames[play].duration);
      const uint64_t length = (starts.back() * kFps + 500) / 1000;
      std::vector<std::string> expected;
      for (uint64_t frame = 0; frame < 2 * length; ++frame) {
        size_t due = 0;
        while (due + 1 < plays.size() &&
               2 * starts[due + 1] * kFps < (2 * (frame % length) + 1) * 1000)
          ++due;
        expected.push_back(frames[plays[due]].Seen());
      }
      const std::string c = taf.substr(0, taf.size() - 4) + ".c";
      const Playback played = ConvertAndPlay({"-o" + c, taf}, 0, "-DPLAYER_SEEN");
      ASSERT_EQ(played.count("frame"), 1u);
      EXPECT_EQ(played.at("frame"), expected);
    }
    // The same sheet gives the same files, whichever layout its JSON takes,
    // but for the print of the JSON the project records (and the print of
    // the TPF's text in its first line).
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
      const std::string name = entry.path().filename().string();
      if (!entry.is_regular_file() || name.ends_with(".c") || name.ends_with(".o")) continue;
      std::istringstream lines(m_dir.Read(name));
      for (std::string line; std::getline(lines, line);) {
        if (!name.ends_with(".tpf") || !(line.starts_with("# flipdeck-kit sync") ||
                                        line.starts_with("ART.SHEET =")))
          files[name] += line + "\n";
      }
    }
    if (!keyed) first = files;
    EXPECT_TRUE(files == first) << "the files differ from the first layout's";
  }
}

}  // namespace
