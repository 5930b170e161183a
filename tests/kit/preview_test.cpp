// flipdeck-kit preview as an artist meets it: the problems it names where
// flipdeck stops, the files it writes and refuses to write, the page's
// pictures, and the GIF decoded back through giflib.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "image/colour.h"
#include "kit/preview_page.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf"})
      m_dir.Write(name, ts::ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/examples/walk/" + name));
  }

  // Drops the lines that set `key` from `file` and appends `add`: a key
  // given again later keeps its last value.
  void Edit(const std::string& file, const std::string& key, const std::string& add) {
    std::istringstream lines(m_dir.Read(file));
    std::string text;
    for (std::string line; std::getline(lines, line);) {
      if (key.empty() || line.rfind(key + " ", 0) != 0) text += line + "\n";
    }
    m_dir.Write(file, text + add + "\n");
  }

  ts::ProcessResult Preview(const std::string& args) {
    std::vector<std::string> words = {"preview"};
    std::istringstream in(args);
    for (std::string word; in >> word;) words.push_back(word);
    return ts::RunFlipdeckKit(words, m_dir.path().string());
  }

  ts::TempDir m_dir;
};

struct Problem {
  const char* args = "walk.taf";
  const char* drop = "";       // a key of walk.taf whose lines go
  const char* add = "";        // lines appended to walk.taf
  const char* tpf = "";        // lines appended to walk.tpf
  const char* file = nullptr;  // a file replaced by "junk"
  int exit = 1;
  const char* says = "";  // on standard error
};

// Each problem at which flipdeck stops, in the order it looks, named with
// the file that holds it; the views the player passes over are warnings.
const Problem kProblems[] = {
    {.drop = "TPF.NUM", .says = "walk.taf: TPF.NUM is not defined"},
    {.drop = "FRAME_LENGTH", .says = "walk.taf: FRAME_LENGTH is not defined"},
    {.drop = "FRAME_KEY", .says = "walk.taf: FRAME_KEY is not defined"},
    {.drop = "FRAME_KEY0", .says = "walk.taf: FRAME_KEY0 is not defined or cannot be read"},
    {.add = "FRAME_KEY1 = 10,3,walk2", .says = "FRAME_KEY1 names project 3, but TPF.3.FILE is not"},
    {.add = "TPF.0.FILE = gone.tpf", .says = "gone.tpf: cannot be opened"},
    {.add = "FRAME_KEY1 = 10,0,walk9", .says = "walk.tpf: has no picture \"walk9\" (named by"},
    {.tpf = "PICT.1 = walk2,gone.tmf,walk.tlf",
     .says = "walk.tpf: the image gone.tmf of picture \"walk2\" of FRAME_KEY1 is in none of its TMF"},
    {.file = "walk1.tmf", .says = "walk1.tmf: cannot be loaded (picture \"walk1\" of FRAME_KEY0)"},
    {.file = "walk.tlf", .says = "walk.tlf: cannot be loaded"},
    {.add = "FRAME_KEY = 3\nFRAME_KEY2 = 5,0,walk1",
     .says = "walk.taf: FRAME_KEY2 begins at frame 5, before frame 10"},
    {.drop = "CAM_Y_NUM", .says = "walk.taf: CAM_Y_NUM is not defined"},
    {.add = "CAM_XZ_NUM = -1", .says = "walk.taf: CAM_XZ_NUM is out of range"},
    {.add = "CAM.0.0 = $(CAM.0.0)", .says = "walk.taf: CAM.0.0 cannot be read"},
    {.add = "CAM.4.0 = 0,walk1", .says = "CAM.4.0 lies outside the camera grid of 4 x 4 positions"},
    {.add = "CAM_ANIM = 0", .says = "CAM.0.0 lies outside the camera grid of 0 x 0 positions (CAM_"},
    {.args = "walk.taf -o walk.tpf", .says = "walk.tpf: is also an input of this job"},
    {.args = "walk.taf --gif walk1.tmf", .says = "walk1.tmf: is also an input of this job"},
    {.add = "FRAME_LENGTH = 5", .exit = 0,
     .says = "warning: walk.taf: FRAME_KEY1 shows for -5 frames (FRAME_LENGTH 5): skipped"},
    {.add = "FRAME_ANIM = 0", .exit = 0},
};

TEST_F(PreviewTest, NamesWhereFlipdeckStopsAndWritesNothingThen) {
  for (const Problem& problem : kProblems) {
    SCOPED_TRACE(std::string(problem.args) + " " + problem.drop + problem.add + problem.tpf);
    SetUp();
    Edit("walk.taf", problem.drop, problem.add);
    Edit("walk.tpf", "", problem.tpf);
    if (problem.file != nullptr) m_dir.Write(problem.file, "junk");
    const std::string tpf = m_dir.Read("walk.tpf");
    const ts::ProcessResult result = Preview(problem.args);
    EXPECT_EQ(result.exitStatus, problem.exit) << result.err;
    EXPECT_NE(result.err.find(problem.says), std::string::npos) << result.err;
    // The page goes beside the TAF when no other is named.
    EXPECT_EQ(m_dir.Exists("walk.html"), problem.exit == 0);
    EXPECT_EQ(m_dir.Read("walk.tpf"), tpf);
    std::error_code error;
    std::filesystem::remove(m_dir.path() / "walk.html", error);
  }
}

TEST_F(PreviewTest, EmbedsEachDistinctPictureOnce) {
  // "same" is walk1 under another name: the same files, one picture.
  Edit("walk.tpf", "PICT_NUM", "PICT_NUM = 3\nPICT.2 = same,walk1.tmf,walk.tlf");
  Edit("walk.taf", "FRAME_KEY",
       "FRAME_KEY = 4\nFRAME_KEY2 = 20,0,walk1\nFRAME_KEY3 = 25,0,same\nCAM.2.3 = 0,same");
  ASSERT_EQ(Preview("walk.taf -o page.html").exitStatus, 0);
  const std::string page = m_dir.Read("page.html");
  size_t uris = 0;
  for (size_t at = page.find("data:image/png"); at != std::string::npos;
       at = page.find("data:image/png", at + 1))
    ++uris;
  EXPECT_EQ(uris, 2u);
}

TEST(AppendJsonString, KeepsTextOutOfMarkupAndReadsStrayBytesAsLatin1) {
  const std::pair<std::string, std::string> rows[] = {
      {"walk1", "\"walk1\""},
      {"a\"<b>\\&", "\"a\\\"\\u003cb\\u003e\\\\\\u0026\""},
      {"</script>", "\"\\u003c/script\\u003e\""},
      {"tab\there", "\"tab\\u0009here\""},
      {"caf\xc3\xa9 \xe2\x82\xac", "\"caf\xc3\xa9 \xe2\x82\xac\""},  // UTF-8 stays
      {"caf\xe9", "\"caf\\u00e9\""},                              // a Latin-1 byte
      {"\xc3", "\"\\u00c3\""},                                      // a sequence cut short
      {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},               // a surrogate
  };
  for (const auto& [text, json] : rows) {
    std::string out;
    AppendJsonString(out, text);
    EXPECT_EQ(out, json) << text;
  }
}

// Two 4 x 2 pictures, top row first, over two palettes in each of which
// entries 0 and 4 are transparent (alpha bit 0).
const std::vector<uint8_t> kIndicesP = {0, 1, 2, 3, 4, 1, 1, 2};
const std::vector<uint8_t> kIndicesQ = {3, 3, 0, 2, 1, 4, 2, 0};
std::vector<uint16_t> Palette(uint16_t second) {
  std::vector<uint16_t> entries(16, 0x0001);
  entries[0] = 0x0000;
  entries[1] = second;
  entries[2] = 0x07C1;
  entries[3] = 0x003F;
  entries[4] = 0xFFFE;
  return entries;
}
const std::vector<uint16_t> kPaletteA = Palette(0xF801);
const std::vector<uint16_t> kPaletteB = Palette(0xFFC1);

std::string Tmf(const std::vector<uint8_t>& top) {
  // The file holds the bottom row first.
  const std::string body(top.begin() + 4, top.end());
  return EncodeTmfFile({TmfTagFor(8), 4, 2, 8}, body + std::string(top.begin(), top.begin() + 4));
}

int ReadBytes(GifFileType* gif, GifByteType* out, int count) {
  auto* in = static_cast<std::string_view*>(gif->UserData);
  const size_t taken = std::min(static_cast<size_t>(count), in->size());
  std::copy_n(in->data(), taken, out);
  in->remove_prefix(taken);
  return static_cast<int>(taken);
}

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

struct GifCase {
  std::vector<std::pair<int, char>> keys;  // frame, picture
  int length = 0;
  int fps = 0;
  std::vector<std::pair<char, int>> frames;  // picture, delay in hundredths
  bool global = true;
  const char* warning = "";
};

// A is P through palette a, B is Q through a, C is Q through b.
const GifCase kGifCases[] = {
    {{{0, 'A'}, {10, 'B'}}, 30, 60, {{'A', 17}, {'B', 33}}, true},
    {{{0, 'A'}, {10, 'C'}}, 30, 24, {{'A', 42}, {'C', 83}}, false},
    // B's first view shows for no frame and C's for one frame, too short:
    // its hundredth goes to A, and C's palette to no frame.
    {{{0, 'A'}, {1, 'B'}, {1, 'C'}, {2, 'B'}}, 4, 60, {{'A', 3}, {'B', 4}}, true,
     "FRAME_KEY2 (1 frames at 60 fps) is too short for a GIF frame of its own: its time goes to "
     "FRAME_KEY0"},
};

TEST_F(PreviewTest, GifPlaysTheStepsInHundredthsWithOneTransparentIndexATable) {
  m_dir.Write("p.tmf", Tmf(kIndicesP));
  m_dir.Write("q.tmf", Tmf(kIndicesQ));
  m_dir.Write("a.tlf", ts::MakeTlf(kPaletteA));
  m_dir.Write("b.tlf", ts::MakeTlf(kPaletteB));
  m_dir.Write("pics.tpf", "PICT_NUM = 3\nPICT.0 = A,p.tmf,a.tlf\nPICT.1 = B,q.tmf,a.tlf\n"
                          "PICT.2 = C,q.tmf,b.tlf\n");
  for (const GifCase& c : kGifCases) {
    std::string taf = "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = pics.tpf\nFRAME_LENGTH = " +
                      std::to_string(c.length) + "\nFRAME_KEY = " + std::to_string(c.keys.size());
    for (size_t k = 0; k < c.keys.size(); ++k)
      taf += "\nFRAME_KEY" + std::to_string(k) + " = " + std::to_string(c.keys[k].first) + ",0," +
             c.keys[k].second;
    m_dir.Write("anim.taf", taf + "\n");
    const ts::ProcessResult result =
        Preview("anim.taf --gif anim.gif --fps " + std::to_string(c.fps));
    SCOPED_TRACE(taf + "\n" + result.err);
    ASSERT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.err.find(c.warning), std::string::npos);

    const std::string bytes = m_dir.Read("anim.gif");
    std::string_view in(bytes);
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&in, ReadBytes, nullptr));
    ASSERT_TRUE(gif != nullptr && DGifSlurp(gif.get()) == GIF_OK);
    ASSERT_EQ(gif->ImageCount, static_cast<int>(c.frames.size()));
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      GraphicsControlBlock control{};
      DGifSavedExtensionToGCB(gif.get(), i, &control);
      EXPECT_EQ(control.DelayTime, c.frames[i].second) << "frame " << i;
      EXPECT_EQ(image.ImageDesc.ColorMap == nullptr, c.global) << "frame " << i;
      const ColorMapObject* map = c.global ? gif->SColorMap : image.ImageDesc.ColorMap;
      ASSERT_TRUE(map != nullptr && image.ImageDesc.Width == 4 && image.ImageDesc.Height == 2);
      const char picture = c.frames[i].first;
      const auto& indices = picture == 'A' ? kIndicesP : kIndicesQ;
      const auto& palette = picture == 'C' ? kPaletteB : kPaletteA;
      for (size_t p = 0; p < indices.size(); ++p) {
        const Rgba8 colour = FromRgba5551(palette[indices[p]]);
        const int shown = image.RasterBits[p];
        if (colour.a < kOpaqueThreshold) {
          EXPECT_EQ(shown, control.TransparentColor) << "frame " << i << ", pixel " << p;
          continue;
        }
        const GifColorType& got = map->Colors[shown];
        const Rgba8 drawn{got.Red, got.Green, got.Blue, 255};
        EXPECT_EQ(drawn, colour) << "frame " << i << ", pixel " << p;
      }
    }
  }
}

}  // namespace
