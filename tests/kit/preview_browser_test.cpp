// The preview page in a real browser: headless Chromium opens it from a
// file at "#frame=N" and "#cam=X,Y", and the pixels on its screenshot must
// be the exported picture that flipdeck's timeline puts on view there,
// scaled and laid over the checkerboard, while the page asks the network
// for nothing.
#include <gtest/gtest.h>

#include <map>

#include "anime/anime_file.h"
#include "anime/timeline.h"
#include "image/png_reader.h"
#include "support/fixture_builder.h"
#include "support/test_platform.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;

constexpr int kScale = 7;
// The checkerboard under transparent pixels: squares of 8 screen pixels,
// the first light grey.
constexpr int kChecker = 8;
constexpr uint8_t kCheckerGrey = 0xcc;

// A picture of the fixture: its TMF, TLF, and the name the TPF gives it.
struct Picture {
  const char* name;
  const char* tmf;
  const char* tlf;
};
// Q's name must reach the page as text, never as markup.
const Picture kPictures[] = {
    {"P", "p.tmf", "a.tlf"}, {"Q\"</script><b>", "q.tmf", "a.tlf"}, {"R", "r.tmf", "b.tlf"}};

std::string Body(const std::vector<std::vector<uint8_t>>& rows, int bits) {
  std::string body;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {  // bottom row first
    for (size_t x = 0; x < row->size(); x += 8 / bits)
      body.push_back(static_cast<char>(bits == 8 ? (*row)[x] : (*row)[x] << 4 | (*row)[x + 1]));
  }
  body.resize((body.size() + 3) / 4 * 4, '\0');
  return body;
}

class PreviewBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(PREVIEW_CHROMIUM).empty())
      GTEST_SKIP() << "Chromium was not found at configure time (Debian: apt-get install chromium)";
    std::vector<uint16_t> a(16, 0x0001);  // RGBA 5551: 0 and 4 transparent
    a[1] = 0xF801, a[2] = 0x07C1, a[3] = 0x003F, a[4] = 0xFFFE, a[0] = 0;
    std::vector<uint16_t> b;  // IA16: alpha 0, half and whole by turns
    const int alphas[] = {0x00, 0x80, 0xFF};
    for (int i = 0; i < 16; ++i) b.push_back(static_cast<uint16_t>((i * 16 + 15) << 8 | alphas[i % 3]));
    m_dir.Write("a.tlf", ts::MakeTlf(a));
    m_dir.Write("b.tlf", ts::MakeTlf(b, 1));
    m_dir.Write("p.tmf", EncodeTmfFile({TmfTagFor(8), 5, 3, 8},
                                       Body({{1, 2, 3, 0, 4}, {2, 3, 1, 1, 0}, {4, 0, 2, 3, 1}}, 8)));
    m_dir.Write("q.tmf", EncodeTmfFile({TmfTagFor(8), 5, 3, 8},
                                       Body({{3, 3, 3, 1, 1}, {0, 0, 2, 2, 2}, {1, 2, 3, 4, 0}}, 8)));
    std::vector<std::vector<uint8_t>> r(4, std::vector<uint8_t>(6));
    for (size_t y = 0; y < 4; ++y)
      for (size_t x = 0; x < 6; ++x) r[y][x] = static_cast<uint8_t>((x + 5 * y) % 16);
    m_dir.Write("r.tmf", EncodeTmfFile({TmfTagFor(4), 6, 4, 4}, Body(r, 4)));
    std::string tpf = "PICT_NUM = 3\n";
    for (int i = 0; i < 3; ++i)
      tpf += "PICT." + std::to_string(i) + " = " + kPictures[i].name + "," + kPictures[i].tmf +
             "," + kPictures[i].tlf + "\n";
    m_dir.Write("pics.tpf", tpf);
    // Q's view shows for no frame and the last view for fewer than none:
    // a pass is P for 2 frames, then R for 5, one more than FRAME_LENGTH.
    m_dir.Write("anim.taf",
                "FRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = pics.tpf\nFRAME_LENGTH = 6\n"
                "FRAME_KEY = 4\nFRAME_KEY0 = 0,0,P\nFRAME_KEY1 = 2,0," + std::string(kPictures[1].name) +
                "\nFRAME_KEY2 = 2,0,R\nFRAME_KEY3 = 7,0,P\n"
                "CAM_ANIM = 1\nCAM_XZ_NUM = 1\nCAM_Y_NUM = 1\nCAM.2.1 = 0," + kPictures[1].name + "\n");
    const ts::ProcessResult made =
        ts::RunFlipdeckKit({"preview", "anim.taf", "--scale", std::to_string(kScale)}, Dir());
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    for (const Picture& picture : kPictures) {
      const std::string png = m_dir.Path(std::string(picture.tmf) + ".png");
      ASSERT_EQ(ts::RunFlipdeckKit({"export", picture.tmf, picture.tlf, "-o", png}, Dir()).exitStatus, 0);
      std::string message;
      ASSERT_TRUE(ReadPngFile(png, m_exported[picture.name], message)) << message;
    }
  }

  std::string Dir() const { return m_dir.path().string(); }

  // The screenshot of the page at `fragment`; with `netLog`, the browser
  // also logs every request it makes there. False when Chromium made none.
  bool Screenshot(const std::string& fragment, CPngPicture& shot, const std::string& netLog = "") {
    const ts::TempDir profile;
    const std::string png = profile.Path("shot.png");
    std::vector<std::string> args = {
        "60", PREVIEW_CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
        "--no-first-run", "--disable-background-networking", "--disable-component-update",
        "--disable-sync", "--hide-scrollbars", "--force-device-scale-factor=1",
        "--force-color-profile=srgb", "--window-size=900,700", "--virtual-time-budget=1500",
        "--user-data-dir=" + profile.Path("profile"), "--screenshot=" + png};
    if (!netLog.empty()) args.push_back("--log-net-log=" + netLog);
    args.push_back("file://" + m_dir.Path("anim.html") + "#" + fragment);
    std::string shown;
    ts::RunProgram("/usr/bin/timeout", args, Dir(), profile.Path("out"), profile.Path("err"), shown);
    std::string message;
    m_strBrowserErr = ts::ReadFileBytes(profile.Path("err"));
    return ReadPngFile(png, shot, message);
  }

  // Whether `shot` shows picture `name` at kScale over the checkerboard
  // somewhere; the page's thumbnails use other scales.
  bool Shows(const CPngPicture& shot, const std::string& name) {
    const CPngPicture& picture = m_exported[name];
    const uint32_t width = picture.width * kScale;
    const uint32_t height = picture.height * kScale;
    for (uint32_t top = 0; top + height <= shot.height; ++top) {
      for (uint32_t left = 0; left + width <= shot.width; ++left) {
        if (ShowsAt(shot, picture, left, top)) return true;
      }
    }
    return false;
  }

  static bool ShowsAt(const CPngPicture& shot, const CPngPicture& picture, uint32_t left,
                      uint32_t top) {
    for (uint32_t y = 0; y < picture.height * kScale; ++y) {
      for (uint32_t x = 0; x < picture.width * kScale; ++x) {
        const Rgba8 colour = picture.palette[picture.indices[y / kScale * picture.width + x / kScale]];
        const int under = (x / kChecker + y / kChecker) % 2 == 0 ? kCheckerGrey : 0xff;
        const Rgba8 seen = shot.pixels[(top + y) * shot.width + left + x];
        const uint8_t channels[3][2] = {{colour.r, seen.r}, {colour.g, seen.g}, {colour.b, seen.b}};
        for (const auto& [want, got] : channels) {
          const int blended = (want * colour.a + under * (255 - colour.a) + 127) / 255;
          if (std::abs(blended - got) > 3) return false;
        }
      }
    }
    return true;
  }

  ts::TempDir m_dir;
  std::map<std::string, CPngPicture> m_exported;
  std::string m_strBrowserErr;
};

TEST_F(PreviewBrowserTest, ShowsThePictureTheTimelinePutsOnViewAndRequestsNothing) {
  ts::ScopedWorkingDir cwd(m_dir.path());
  CAnimeFile anime;
  ASSERT_TRUE(anime.Load("anim.taf"));
  const CTimeline timeline = ReadTimeline(anime, 6, 4);
  const ts::TempDir logs;
  // Frame 6 lies past FRAME_LENGTH but inside the pass; 8 and 9 come round
  // again, to the last frame of P and the first of R.
  for (const int frame : {6, 8, 9}) {
    const std::string name = timeline.views[timeline.ViewAt(frame)].key.picture;
    CPngPicture shot;
    const bool logged = frame == 6;
    if (!Screenshot("frame=" + std::to_string(frame), shot, logged ? logs.Path("net.json") : "")) {
      if (logged) GTEST_SKIP() << "Chromium could not start:\n" << m_strBrowserErr;
      FAIL() << "no screenshot of frame " << frame << ":\n" << m_strBrowserErr;
    }
    EXPECT_TRUE(Shows(shot, name)) << "frame " << frame << " should show " << name;
  }
  CPngPicture shot;
  ASSERT_TRUE(Screenshot("cam=2,1", shot)) << m_strBrowserErr;
  EXPECT_TRUE(Shows(shot, kPictures[1].name));

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
