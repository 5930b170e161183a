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
#include "kit/kit_run.h"
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

  KitRun Preview(const std::string& args) { return Kit(m_dir, "preview " + args); }

  // The picture flipdeck-kit export writes for `tmf` through `tlf`.
  CPngPicture Exported(const std::string& tmf, const std::string& tlf) {
    EXPECT_EQ(Kit(m_dir, "export " + tmf + " " + tlf + " -o exported.png --force").status, 0);
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
  ASSERT_EQ(Preview(m_dir.Path("walk.taf")).status, 0);
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

// Whether `image` shows `picture`, each pixel `scale` GIF pixels a side in
// the colours of `map`, every transparent entry as the one index `clear`.
bool Shows(const SavedImage& image, const ColorMapObject& map, int clear,
           const CPngPicture& picture, int scale) {
  const int width = static_cast<int>(picture.width);
  const int side = width * scale;  // the walk pictures are square
  if (image.ImageDesc.Width != side || image.ImageDesc.Height != side) return false;
  for (int p = 0; p < side * side; ++p) {
    const Rgba8 colour =
        picture.palette[picture.indices[p / side / scale * width + p % side / scale]];
    const GifColorType& got = map.Colors[image.RasterBits[p]];
    if (colour.a < kOpaqueThreshold ? image.RasterBits[p] != clear
                                    : Rgba8{got.Red, got.Green, got.Blue, 255} != colour)
      return false;
  }
  return true;
}

// The GIF decoded back, each frame named by the picture it shows; the page
// beside it holds each distinct picture (a TMF file through a TLF file)
// once, however many names show it.
TEST_F(PreviewTest, GifPlaysTheStepsInHundredthsAndThePageHoldsEachPictureOnce) {
  AddPictures("Q");
  const std::string taf = m_dir.Read("walk.taf");
  for (const ts::TableRow& row : ts::ReadTable("kit/preview/gif.table")) {
    SCOPED_TRACE(row.where);
    std::istringstream words(row.input);
    int fps = 0;
    int scale = 0;
    std::string length;
    words >> fps >> scale >> length;
    std::string keys;
    int count = 0;
    for (std::string key; words >> key; ++count)
      keys += "FRAME_KEY" + std::to_string(count) + " = " + key + "\n";
    m_dir.Write("walk.taf", taf + "FRAME_LENGTH = " + length +
                                "\nFRAME_KEY = " + std::to_string(count) + "\n" + keys);
    const KitRun result = Preview("walk.taf --gif walk.gif --fps " + std::to_string(fps) +
                                  (scale > 1 ? " --scale " + std::to_string(scale) : ""));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string warning = row.expected.substr(row.expected.find('|') + 1);
    EXPECT_NE(result.err.find(warning), std::string::npos) << result.err;

    std::unique_ptr<GifFileType, GifCloser> gif(
        DGifOpenFileName(m_dir.Path("walk.gif").c_str(), nullptr));
    ASSERT_TRUE(gif != nullptr && DGifSlurp(gif.get()) == GIF_OK);
    std::string made;
    bool global = true;
    for (int i = 0; i < gif->ImageCount; ++i) {
      GraphicsControlBlock control{};
      DGifSavedExtensionToGCB(gif.get(), i, &control);
      const SavedImage& image = gif->SavedImages[i];
      global = global && image.ImageDesc.ColorMap == nullptr;
      const ColorMapObject* map =
          image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
      ASSERT_NE(map, nullptr);
      std::string shown = "?";
      for (const auto& [name, picture] : m_exported)
        if (Shows(image, *map, control.TransparentColor, picture, scale)) shown = name;
      made += shown + ":" + std::to_string(control.DelayTime) + " ";
    }
    const std::string page = m_dir.Read("walk.html");
    const std::string uri = "data:image/png;base64,";
    int uris = 0;
    for (size_t at = page.find(uri); at != std::string::npos; at = page.find(uri, at + 1)) ++uris;
    made += (global ? "global " : "local ") + std::to_string(uris) + " |";
    EXPECT_EQ(made, row.expected.substr(0, row.expected.find('|') + 1));
  }
}

}  // namespace
