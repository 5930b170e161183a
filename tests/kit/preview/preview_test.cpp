// flipdeck-kit preview as an artist meets it, on the walk example: the
// problems it names where flipdeck stops, the files it writes and refuses
// to write, the page's pictures, and the GIF decoded back through giflib.
// The page in a browser is page_browser_test.mjs's.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

#include "kit/common/picture_png.h"
#include "kit/preview/preview_model.h"
#include "kit/preview/preview_page.h"
#include "support/fixture_builder.h"
#include "support/kit_cases.h"
#include "support/png_picture.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;
using ts::CPngPicture;
using ts::ReadPngFile;

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { ts::WriteWalkExample(m_dir.path()); }

  // Appends the lines `add` to `file`: a key given again takes its new value.
  void Append(const std::string& file, const std::string& add) {
    m_dir.Write(file, m_dir.Read(file) + add + "\n");
  }

  ts::ProcessResult Kit(const std::string& args) {
    std::vector<std::string> words;
    std::istringstream in(args);
    for (std::string word; in >> word;) words.push_back(word);
    return ts::RunFlipdeckKit(words, m_dir.path().string());
  }
  ts::ProcessResult Preview(const std::string& args) { return Kit("preview " + args); }

  // The picture flipdeck-kit export writes for `tmf` through `tlf`.
  CPngPicture Exported(const std::string& tmf, const std::string& tlf) {
    EXPECT_EQ(Kit("export " + tmf + " " + tlf + " -o exported.png --force").exitStatus, 0);
    CPngPicture picture;
    std::string message;
    EXPECT_TRUE(ReadPngFile(m_dir.Path("exported.png"), picture, message)) << message;
    return picture;
  }

  // The walk pictures under the names P and R, and walk2 as Q through a
  // palette whose every other entry is transparent (0x4000, 0x4001, ...).
  void AddPictures(const std::string& nameQ) {
    m_dir.Write("other.tlf", ts::MakeSimpleTlf(16, 0x4000));
    Append("walk.tpf",
           "PICT_NUM = 5\nPICT.2 = P,walk1.tmf,walk.tlf\n"
           "PICT.3 = R,walk2.tmf,walk.tlf\nPICT.4 = " +
               nameQ + ",walk2.tmf,other.tlf");
    m_exported["P"] = Exported("walk1.tmf", "walk.tlf");
    m_exported["R"] = Exported("walk2.tmf", "walk.tlf");
    m_exported[nameQ] = Exported("walk2.tmf", "other.tlf");
  }

  ts::TempDir m_dir;
  std::map<std::string, CPngPicture> m_exported;
};

// Each case of the table is the walk example broken one way: preview says
// all it says of it, fails exactly when it names an error, and writes the
// page beside the TAF only then; no input changes.
TEST(PreviewCases, NameWhereFlipdeckStopsAndWriteNothingThen) {
  for (const KitCase& c : ReadKitCases("kit/preview/cases/problems.cases")) {
    SCOPED_TRACE(c.name);
    ts::TempDir dir;
    ts::LayOut(c.fixture, dir);
    std::vector<std::string> args = {"preview", c.anime};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ts::ProcessResult result = ts::RunFlipdeckKit(args, dir.path().string());
    const bool fails = c.expect.find(": error: ") != std::string::npos;
    EXPECT_EQ(result.exitStatus, fails ? 1 : 0);
    EXPECT_EQ(result.err, ts::WithDir(c.expect, dir.path().string()));
    EXPECT_EQ(dir.Exists("walk.html"), !fails);
    for (const auto& [name, bytes] : c.fixture.files) EXPECT_EQ(dir.Read(name), bytes) << name;
  }
}

// A page passed on tells nothing of the artist's folders: it names the
// animation and its files from the animation's own folder, and lists
// check's messages by the lines they stand on, as check names files from
// where it runs.
TEST_F(PreviewTest, PageNamesFilesFromTheAnimationsFolderAndListsChecksMessages) {
  Append("walk.taf", "FRAMEKEY1 = 10,0,walk2");
  ASSERT_EQ(Preview(m_dir.Path("walk.taf")).exitStatus, 0);
  const std::string page = m_dir.Read("walk.html");
  EXPECT_EQ(page.find(m_dir.path().string()), std::string::npos);
  for (const char* named :
       {"<title>walk</title>", "\"title\":\"walk\"", "\"tmf\":\"walk1.tmf\"",
        "\"tlf\":\"walk.tlf\"",
        "\"messages\":[\"walk.taf:28: warning: flipdeck never reads FRAMEKEY1; did you mean "})
    EXPECT_NE(page.find(named), std::string::npos) << named;
}

TEST(PageText, JsonStringsKeepOutOfMarkupDataUrisPadTheirLastGroupAndScalesFit) {
  for (const auto& row : ts::ReadTable("kit/preview/page_text.table")) {
    std::istringstream words(row.input);
    std::string kind;
    words >> kind;
    const std::string text = row.input.substr(std::min(row.input.size(), kind.size() + 1));
    std::string out;
    if (kind == "json") {
      AppendJsonString(out, text);
    } else if (kind == "png") {
      out = MakePngDataUri({text.begin(), text.end()});
    } else {
      int32_t asked = 0;
      words >> asked;
      CPreview preview;
      for (std::string size; words >> size;) {
        preview.pictures.emplace_back();
        preview.pictures.back().width = std::stoul(size);
        preview.pictures.back().height = std::stoul(size.substr(size.find('x') + 1));
      }
      std::ostringstream scale;
      scale << PageScale(preview, asked);
      out = scale.str();
    }
    EXPECT_EQ(out, row.expected) << row.where;
  }
}

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

struct GifCase {
  const char* keys;  // FRAME_KEY lines
  int length = 0;
  int fps = 0;
  std::vector<std::pair<const char*, int>> frames;  // picture, delay in hundredths
  bool global = true;
  int pictures = 3;  // distinct ones on the page: walk1, walk2, and Q where a key names it
  const char* warning = "";
  int scale = 1;  // GIF pixels a side per picture pixel
};

// A table reads best a case a line.
// clang-format off
const GifCase kGifCases[] = {
    {"FRAME_KEY = 2\nFRAME_KEY0 = 0,0,P\nFRAME_KEY1 = 10,0,R",
     30, 60, {{"P", 17}, {"R", 33}}, true, 2},
    {"FRAME_KEY = 2\nFRAME_KEY0 = 0,0,P\nFRAME_KEY1 = 10,0,Q",
     30, 24, {{"P", 42}, {"Q", 83}}, false, 3, "", 3},
    // R's first view shows for no frame and Q's for one frame, too short:
    // its hundredth goes to P, and its palette to no frame.
    {"FRAME_KEY = 4\nFRAME_KEY0 = 0,0,P\nFRAME_KEY1 = 1,0,R\nFRAME_KEY2 = 1,0,Q\n"
     "FRAME_KEY3 = 2,0,R", 4, 60, {{"P", 3}, {"R", 4}}, true, 3,
     "FRAME_KEY2 (1 frame at 60 fps) is too short for a GIF frame of its own: its time goes to "
     "FRAME_KEY0"},
};
// clang-format on

// The GIF decoded back; the page beside it holds each distinct picture
// (a TMF file through a TLF file) once, however many names show it.
TEST_F(PreviewTest, GifPlaysTheStepsInHundredthsAndThePageHoldsEachPictureOnce) {
  AddPictures("Q");
  const std::string taf = m_dir.Read("walk.taf");
  for (const GifCase& c : kGifCases) {
    m_dir.Write("walk.taf",
                taf + "FRAME_LENGTH = " + std::to_string(c.length) + "\n" + c.keys + "\n");
    const ts::ProcessResult result =
        Preview("walk.taf --gif walk.gif --fps " + std::to_string(c.fps) +
                (c.scale > 1 ? " --scale " + std::to_string(c.scale) : ""));
    SCOPED_TRACE(std::string(c.keys) + "\n" + result.err);
    ASSERT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.err.find(c.warning), std::string::npos);
    const std::string page = m_dir.Read("walk.html");
    int uris = 0;
    for (size_t at = page.find("data:image/png"); at != std::string::npos;
         at = page.find("data:", at + 1))
      ++uris;
    EXPECT_EQ(uris, c.pictures);

    std::unique_ptr<GifFileType, GifCloser> gif(
        DGifOpenFileName(m_dir.Path("walk.gif").c_str(), nullptr));
    ASSERT_TRUE(gif != nullptr && DGifSlurp(gif.get()) == GIF_OK);
    ASSERT_EQ(gif->ImageCount, static_cast<int>(c.frames.size()));
    for (int i = 0; i < gif->ImageCount; ++i) {
      SCOPED_TRACE("frame " + std::to_string(i));
      const SavedImage& image = gif->SavedImages[i];
      GraphicsControlBlock control{};
      DGifSavedExtensionToGCB(gif.get(), i, &control);
      EXPECT_EQ(control.DelayTime, c.frames[i].second);
      EXPECT_EQ(image.ImageDesc.ColorMap == nullptr, c.global);
      const ColorMapObject* map = c.global ? gif->SColorMap : image.ImageDesc.ColorMap;
      const CPngPicture& picture = m_exported[c.frames[i].first];
      const int side = 16 * c.scale;
      ASSERT_TRUE(map != nullptr && image.ImageDesc.Width == side &&
                  image.ImageDesc.Height == side);
      for (size_t p = 0; p < picture.indices.size() * static_cast<size_t>(c.scale * c.scale); ++p) {
        const size_t x = p % static_cast<size_t>(side) / c.scale;
        const size_t y = p / static_cast<size_t>(side) / c.scale;
        const Rgba8 colour = picture.palette[picture.indices[y * 16 + x]];
        const int shown = image.RasterBits[p];
        const GifColorType& got = map->Colors[shown];
        const Rgba8 drawn{got.Red, got.Green, got.Blue, 255};
        // Every transparent entry becomes the table's one transparent index.
        if (colour.a < kOpaqueThreshold)
          EXPECT_EQ(shown, control.TransparentColor) << "pixel " << p;
        else
          EXPECT_EQ(drawn, colour) << "pixel " << p;
      }
    }
  }
}

}  // namespace
