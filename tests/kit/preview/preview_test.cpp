// flipdeck-kit preview as an artist meets it, on the walk example: the
// problems it names where flipdeck stops, the files it writes and refuses
// to write, the page's pictures, the GIF decoded back through giflib, and
// the page in a real browser (headless Chromium), whose screenshot must
// show the exported picture that flipdeck's timeline puts on view.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

#include "anime/anime_file.h"
#include "anime/timeline.h"
#include "kit/common/picture_png.h"
#include "kit/preview/preview_page.h"
#include "support/fixture_builder.h"
#include "support/png_picture.h"
#include "support/test_platform.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;
using ts::CPngPicture;
using ts::ReadPngFile;

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf"})
      m_dir.Write(name,
                  ts::ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/examples/walk/" + name));
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
    Edit("walk.tpf", "PICT_NUM",
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

struct Problem {
  const char* args = "walk.taf";
  const char* drop = "";       // a key of walk.taf whose lines go
  const char* add = "";        // lines appended to walk.taf
  const char* tpf = "";        // lines appended to walk.tpf
  const char* file = nullptr;  // a file replaced by "junk"
  int exit = 1;
  const char* says = "";   // on standard error
  const char* never = "";  // and what it must not say there
};

// Each problem at which flipdeck stops, in the order it looks, named with
// the file that holds it; the views the player passes over are warnings.
const Problem kProblems[] = {
    {.drop = "TPF.NUM", .says = "walk.taf: TPF.NUM is not defined"},
    {.drop = "FRAME_KEY", .says = "walk.taf: FRAME_KEY is not defined"},
    {.drop = "FRAME_KEY0", .says = "walk.taf: FRAME_KEY0 is not defined or cannot be read"},
    {.add = "FRAME_KEY1 = 10,3,walk2", .says = "FRAME_KEY1 names project 3, but TPF.3.FILE is not"},
    {.add = "TPF.0.FILE = gone.tpf", .says = "gone.tpf: does not exist (project of"},
    {.add = "FRAME_KEY1 = 10,0,walk9", .says = "walk.tpf: has no picture \"walk9\" (named by"},
    {.tpf = "PICT.1 = walk2,gone.tmf,walk.tlf",
     .says =
         "walk.tpf: the image gone.tmf of picture \"walk2\" of FRAME_KEY1 is in none of its TMF"},
    {.file = "walk1.tmf", .says = "walk1.tmf: cannot be loaded (picture \"walk1\" of FRAME_KEY0)"},
    {.add = "FRAME_KEY = 3\nFRAME_KEY2 = 5,0,walk1",
     .says = "walk.taf: FRAME_KEY2 begins at frame 5, before frame 10 where the key frame before "
             "it begins: FRAME_KEY1 would show for -5 frames, and flipdeck stops with",
     .never = "warning"},
    {.drop = "CAM_Y_NUM", .says = "walk.taf: CAM_Y_NUM is not defined"},
    {.add = "CAM.0.0 = $(CAM.0.0)",
     .says = "walk.taf: CAM.0.0 cannot be expanded ($(CAM.0.0) leads back to itself)"},
    {.add = "CAM.4.0 = 0,walk1", .says = "CAM.4.0 lies outside the camera grid of 4 x 4 positions"},
    {.add = "CAM_ANIM = 0",
     .says = "CAM.0.0 lies outside the camera grid of 0 x 0 positions (CAM_"},
    {.args = "walk.taf -o walk.tpf", .says = "walk.tpf: is also an input of this job"},
    {.args = "walk.taf --gif walk1.tmf", .says = "walk1.tmf: is also an input of this job"},
    // A picture is somebody's art: neither the GIF nor the page goes there.
    {.args = "walk.taf --gif walk1.png",
     .says = "walk1.png: names a .png file, where the GIF would go: give a name ending in .gif"},
    {.args = "walk.taf -o walk1.png --gif walk.gif",
     .says = "walk1.png: names a .png file, where the page would go: give a name ending in .html"},
    {.add = "FRAME_LENGTH = 5",
     .exit = 0,
     .says = "warning: walk.taf: FRAME_KEY1 shows for -5 frames (FRAME_LENGTH 5): flipdeck writes "
             "-5 as its count"},
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
    if (*problem.never != '\0') {
      EXPECT_EQ(result.err.find(problem.never), std::string::npos) << result.err;
    }
    // The page goes beside the TAF when no other is named.
    EXPECT_EQ(m_dir.Exists("walk.html"), problem.exit == 0);
    EXPECT_EQ(m_dir.Read("walk.tpf"), tpf);
    std::error_code error;
    std::filesystem::remove(m_dir.path() / "walk.html", error);
  }
}

// A page passed on tells nothing of the artist's folders: it names the
// animation and its files from the animation's own folder, and lists
// check's messages by the lines they stand on, as check names files from
// where it runs.
TEST_F(PreviewTest, PageNamesFilesFromTheAnimationsFolderAndListsChecksMessages) {
  Edit("walk.taf", "", "FRAMEKEY1 = 10,0,walk2");
  ASSERT_EQ(Preview(m_dir.Path("walk.taf")).exitStatus, 0);
  const std::string page = m_dir.Read("walk.html");
  EXPECT_EQ(page.find(m_dir.path().string()), std::string::npos);
  for (const char* named :
       {"<title>walk</title>", "\"title\":\"walk\"", "\"tmf\":\"walk1.tmf\"",
        "\"tlf\":\"walk.tlf\"",
        "\"messages\":[\"walk.taf:28: warning: flipdeck never reads FRAMEKEY1; did you mean "})
    EXPECT_NE(page.find(named), std::string::npos) << named;
}

TEST(AppendJsonString, KeepsTextOutOfMarkupAndReadsStrayBytesAsLatin1) {
  const std::pair<std::string, std::string> rows[] = {
      {"a\"<b>\\&", "\"a\\\"\\u003cb\\u003e\\\\\\u0026\""},
      {"caf\xc3\xa9 \xe2\x82\xac", "\"caf\xc3\xa9 \xe2\x82\xac\""},  // UTF-8 stays
      {"caf\xe9", "\"caf\\u00e9\""},                                 // a Latin-1 byte
      {"\xc3", "\"\\u00c3\""},                                       // a sequence cut short
      {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},                 // a surrogate
      {"a\x01\n\x1f", "\"a\\u0001\\u000a\\u001f\""},                 // control bytes
  };
  for (const auto& [text, json] : rows) {
    std::string out;
    AppendJsonString(out, text);
    EXPECT_EQ(out, json) << text;
  }
}

// Every length of a last group of three bytes, padded as base64 pads it.
TEST(MakePngDataUri, PadsTheLastGroup) {
  const std::pair<std::vector<uint8_t>, std::string> rows[] = {
      {{}, ""},
      {{0x89}, "iQ=="},
      {{0x89, 'P'}, "iVA="},
      {{0x89, 'P', 'N'}, "iVBO"},
      {{0x89, 'P', 'N', 'G'}, "iVBORw=="},
      {{0xff, 0xff, 0xff, 0xff, 0xff}, "//////8="},
  };
  for (const auto& [bytes, digits] : rows)
    EXPECT_EQ(MakePngDataUri(bytes), "data:image/png;base64," + digits) << digits;
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

constexpr uint32_t kScale = 7;
// The checkerboard under transparent pixels: squares of 8 screen pixels,
// the first light grey.
constexpr uint32_t kChecker = 8;
constexpr int kCheckerGrey = 0xcc;

// The screenshot headless Chromium takes of the page `url`; with `netLog`
// it logs every request there. False, with Chromium's complaints in `err`,
// when it took none.
bool Screenshot(const std::string& url, const std::string& netLog, CPngPicture& shot,
                std::string& err) {
  const ts::TempDir profile;
  const std::string png = profile.Path("shot.png");
  std::vector<std::string> args = {"60", PREVIEW_CHROMIUM};
  std::istringstream flags(
      "--headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-sync "
      "--disable-background-networking --disable-component-update --hide-scrollbars "
      "--force-device-scale-factor=1 --force-color-profile=srgb --window-size=900,700 "
      "--virtual-time-budget=1500");
  for (std::string flag; flags >> flag;) args.push_back(flag);
  args.insert(args.end(),
              {"--user-data-dir=" + profile.Path("profile"), "--screenshot=" + png, url});
  if (!netLog.empty()) args.insert(args.end() - 1, "--log-net-log=" + netLog);
  std::string shown;
  ts::RunProgram("/usr/bin/timeout", args, ".", profile.Path("out"), profile.Path("err"), shown);
  err = ts::ReadFileBytes(profile.Path("err"));
  std::string message;
  return ReadPngFile(png, shot, message);
}

// Whether `shot` shows `picture` at kScale over the checkerboard with its
// top left corner at (left, top).
bool ShowsAt(const CPngPicture& shot, const CPngPicture& picture, uint32_t left, uint32_t top) {
  for (uint32_t y = 0; y < picture.height * kScale; ++y) {
    for (uint32_t x = 0; x < picture.width * kScale; ++x) {
      const Rgba8 colour =
          picture.palette[picture.indices[y / kScale * picture.width + x / kScale]];
      const int under = (x / kChecker + y / kChecker) % 2 == 0 ? kCheckerGrey : 0xff;
      const Rgba8 seen = shot.pixels[(top + y) * shot.width + left + x];
      const int channels[3][2] = {{colour.r, seen.r}, {colour.g, seen.g}, {colour.b, seen.b}};
      for (const auto& [want, got] : channels) {
        if (std::abs((want * colour.a + under * (255 - colour.a) + 127) / 255 - got) > 3)
          return false;
      }
    }
  }
  return true;
}

// Whether `shot` shows `picture` anywhere; the thumbnails have other scales.
bool Shows(const CPngPicture& shot, const CPngPicture& picture) {
  for (uint32_t top = 0; top + picture.height * kScale <= shot.height; ++top) {
    for (uint32_t left = 0; left + picture.width * kScale <= shot.width; ++left) {
      if (ShowsAt(shot, picture, left, top)) return true;
    }
  }
  return false;
}

TEST_F(PreviewTest, BrowserShowsWhatTheTimelinePutsOnViewAndRequestsNothing) {
  if (std::string(PREVIEW_CHROMIUM).empty())
    GTEST_SKIP() << "Chromium was not found at configure time (Debian: apt-get install chromium)";
  // Q's name must reach the page as text, never as markup. Its view shows
  // for no frame and the last one for fewer than none: a pass is P for 2
  // frames, then R for 5, one more than FRAME_LENGTH.
  const std::string q = "Q\"</script><b>";
  AddPictures(q);
  Edit("walk.taf", "",
       "FRAME_LENGTH = 6\nFRAME_KEY = 4\nFRAME_KEY0 = 0,0,P\nFRAME_KEY1 = 2,0," + q +
           "\nFRAME_KEY2 = 2,0,R\nFRAME_KEY3 = 7,0,P\nCAM.2.1 = 0," + q);
  ASSERT_EQ(Preview("walk.taf --scale " + std::to_string(kScale)).exitStatus, 0);
  ts::ScopedWorkingDir cwd(m_dir.path());
  CAnimeFile anime{testing_support::FailOnLoadError};
  ASSERT_TRUE(anime.Load("walk.taf"));
  const CTimeline timeline = ReadTimeline(anime, 6, 4);

  // Frame 6 lies past FRAME_LENGTH but inside the pass; 8 and 9 come round
  // again, to the last frame of P and the first of R.
  const std::string page = "file://" + m_dir.Path("walk.html");
  const ts::TempDir logs;
  CPngPicture shot;
  std::string err;
  for (const int frame : {6, 8, 9}) {
    const bool logged = frame == 6;
    if (!Screenshot(page + "#frame=" + std::to_string(frame), logged ? logs.Path("net.json") : "",
                    shot, err)) {
      if (logged) GTEST_SKIP() << "Chromium could not start:\n" << err;
      FAIL() << "no screenshot of frame " << frame << ":\n" << err;
    }
    const std::string name = timeline.views[timeline.ViewAt(frame)].key.picture;
    EXPECT_TRUE(Shows(shot, m_exported[name])) << "frame " << frame << " should show " << name;
  }
  ASSERT_TRUE(Screenshot(page + "#cam=2,1", "", shot, err)) << err;
  EXPECT_TRUE(Shows(shot, m_exported[q]));

  // The browser's own requests (updates, accounts) have no origin; any the
  // page made would have the page's.
  const std::string log = ts::ReadFileBytes(logs.Path("net.json"));
  ASSERT_NE(log.find("\"events\""), std::string::npos) << "no network log";
  const std::string initiator = "\"initiator\":\"";
  for (size_t at = log.find(initiator); at != std::string::npos; at = log.find(initiator, at + 1)) {
    const size_t start = at + initiator.size();
    EXPECT_EQ(log.substr(start, log.find('"', start) - start), "not an origin")
        << log.substr(log.rfind('{', at), 400);
  }
}
}  // namespace
