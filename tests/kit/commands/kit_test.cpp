// flipdeck-kit's jobs, run in this process on files made for the test: what
// export writes must import back to the same bytes, what import reads must
// export back as the same picture after the colour reduction, and a job
// that fails must say why and change no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <sstream>

#include "kit/kit_run.h"
#include "kit/pictures/new.h"
#include "path/file_system.h"
#include "settings/key_value_file.h"
#include "support/kit_cases.h"
#include "support/png_fixture.h"
#include "support/png_picture.h"
#include "support/test_platform.h"
#include "support/test_support.h"
#include "texture/texture_format.h"
#include "texture/tlf_palette.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

std::string Bytes(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(Kit, ExportThenImportGivesBackTheSameFiles) {
  ts::TempDir dir;
  fs::create_directory(dir.path() / "back");
  // Both palette types and depths, odd widths among them, pixels and
  // palettes at random.
  std::mt19937 random(11);
  for (const uint32_t type : {kTlfTypeRgba5551, kTlfTypeIa16}) {
    for (const int bits : {4, 8}) {
      for (const int width : {1, 3, 8, 17}) {
        SCOPED_TRACE(testing::Message() << type << " " << bits << " " << width);
        const int height = 1 + static_cast<int>(random() % 5);
        std::vector<uint8_t> indices(static_cast<size_t>(width * height));
        for (uint8_t& index : indices) index = static_cast<uint8_t>(random() % (1u << bits));
        std::vector<uint16_t> entries(bits == 4 ? 16 : 256);
        for (uint16_t& entry : entries) entry = static_cast<uint16_t>(random());
        dir.Write("a.tmf", EncodeTmf(width, height, bits, indices));
        dir.Write("a.tlf", EncodeTlf(type, entries, bits));
        ASSERT_EQ(Kit(dir, "export a.tmf a.tlf -o a.png --force").status, 0);
        const std::string ia16 = type == kTlfTypeIa16 ? "--ia16 " : "";
        ASSERT_EQ(Kit(dir, "import " + ia16 + "a.png --out-dir back").status, 0);
        EXPECT_EQ(dir.Read("back/a.tmf"), dir.Read("a.tmf"));
        EXPECT_EQ(dir.Read("back/a.tlf"), dir.Read("a.tlf"));
      }
    }
  }
}

// Each row of import_layouts.table imports p.png, q.png or both and spells
// out the files it must write.
TEST(Kit, ImportWritesTheFileLayoutsByteForByte) {
  ts::TempDir dir;
  ts::PngFixture rgb{2, 8, false, 3, 2, {}, {}, 0, {}};
  rgb.samples = {255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255, 0, 255, 0};
  dir.Write("p.png", Bytes(ts::MakeTestPng(rgb)));
  dir.Write("q.png", Bytes(ts::MakeTestPng({2, 8, false, 2, 1, {0, 0, 0, 255, 0, 0}, {}, 0, {}})));
  dir.Write("imposed.tlf",
            EncodeTlf(kTlfTypeRgba5551,
                      std::vector<uint16_t>{0xffff, 0x003f, 0x07c1, 0xf801, 0xf801}, 4));
  for (const ts::TableRow& row : ts::ReadTable("kit/commands/import_layouts.table")) {
    ASSERT_EQ(Kit(dir, row.input).err, "") << row.where;
    std::istringstream files(row.expected);
    for (std::string file; std::getline(files, file, ';');) {
      std::istringstream words(file);
      std::string name;
      size_t size = 0;
      std::string header;
      std::string body;
      words >> name >> size;
      words.ignore(1);  // the colon
      std::getline(words, header, '/');
      std::getline(words, body);
      std::string bytes = ts::FromHex(header);
      bytes.resize(64, '\0');
      bytes += ts::FromHex(body);
      bytes.resize(size, '\0');
      EXPECT_EQ(dir.Read(name), bytes) << row.where << ": " << name;
    }
  }
}

// A picture of every colour type, depth and interlacing comes back as what
// its colours reduce to: each pixel the colour of its palette entry.
TEST(Kit, ImportThenExportGivesBackEveryPictureReduced) {
  const std::pair<int, std::vector<int>> formats[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  ts::TempDir dir;
  for (const auto& [colourType, depths] : formats) {
    for (const int depth : depths) {
      for (const int variant : {0, 1, 2, 3}) {  // interlaced, transparent
        const bool grey = (colourType & 2) == 0;
        for (const PaletteType type : {PaletteType::kRgba5551, PaletteType::kIa16}) {
          if (type == PaletteType::kIa16 && !grey) continue;
          SCOPED_TRACE(testing::Message() << colourType << " " << depth << " " << variant << " "
                                          << static_cast<int>(type));
          dir.Write("p.png", Bytes(ts::MakeTestPng(ts::MakeFixture(colourType, depth, variant & 1,
                                                                   variant >= 2, 7))));
          const std::string ia16 = type == PaletteType::kIa16 ? "--ia16 " : "";
          ASSERT_EQ(Kit(dir, "import " + ia16 + "p.png").status, 0);
          ASSERT_EQ(Kit(dir, "export p.tmf p.tlf -o q.png --force").status, 0);
          ts::CPngPicture before;
          ts::CPngPicture after;
          std::string message;
          ASSERT_TRUE(ts::ReadPngFile(dir.Path("p.png"), before, message));
          ASSERT_TRUE(ts::ReadPngFile(dir.Path("q.png"), after, message));
          ASSERT_EQ(after.indices.size(), size_t{before.width} * before.height);
          for (size_t i = 0; i < after.indices.size(); ++i) {
            const Rgba8 colour =
                before.indexed ? before.palette[before.indices[i]] : before.pixels[i];
            // An indexed picture keeps its palette as it is, hidden colours
            // included; other pictures' hidden pixels are one entry.
            uint16_t entry = 0;
            ASSERT_TRUE(before.indexed ? ToPaletteEntry(colour, type, entry)
                                       : ToPixelEntry(colour, type, entry));
            ASSERT_EQ(after.palette[after.indices[i]], FromPaletteEntry(entry, type)) << i;
          }
        }
      }
    }
  }
}

// Pixels nobody can see are one colour at index 0 of a palette the kit
// builds, however many RGB values they hide, and count once; an imposed
// palette serves them with its first entry that shows nothing.
TEST(Kit, ImportMakesThePixelsNobodySeesOneColour) {
  ts::TempDir dir;
  // 235 visible colours, the first pixel among them, and 40 hidden ones
  // that all differ in RGB and alpha below 128.
  std::vector<Rgba8> pixels;
  for (uint8_t i = 0; i < 235; ++i)
    pixels.push_back({Widen5To8(i % 32), Widen5To8(static_cast<uint8_t>(i / 32)), 8, 255});
  for (uint8_t i = 0; i < 40; ++i)
    pixels.insert(pixels.begin() + 1 + 5 * i, Rgba8{static_cast<uint8_t>(6 * i), 200, 3, i});
  dir.Write("many.png", ts::MakeRgbaPng(25, pixels));
  ASSERT_EQ(Kit(dir, "import many.png").err, "");
  CTlfPalette palette;
  ASSERT_TRUE(palette.Load(dir.Path("many.tlf"), ts::FailOnLoadError));
  const std::vector<uint16_t>& entries = palette.GetEntries();
  EXPECT_EQ(std::vector<uint16_t>(entries.begin(), entries.begin() + 2),
            (std::vector<uint16_t>{kHiddenEntry, ToRgba5551(pixels[0])}));
  EXPECT_EQ(entries[235], ToRgba5551(pixels.back()));
  // The top row, the file's last: visible, hidden, visible.
  EXPECT_EQ(dir.Read("many.tmf").substr(64 + 10 * 25, 3), std::string("\1\0\2", 3));
  // One visible colour more than an 8-bit image holds, and transparency.
  pixels.resize(297, Rgba8{1, 1, 1, 1});
  for (uint8_t i = 0; i < 21; ++i) pixels[275 + i] = {0, Widen5To8(i), 255, 255};
  dir.Write("over.png", ts::MakeRgbaPng(27, pixels));
  EXPECT_NE(Kit(dir, "import over.png").err.find("over.png: has 257 colours"), std::string::npos);

  // A shared palette puts them first though only the second picture has them.
  dir.Write("a.png", ts::MakeRgbaPng(2, {{255, 0, 0, 255}, {0, 255, 0, 255}}));
  dir.Write("b.png", ts::MakeRgbaPng(2, {{1, 2, 3, 0}, {255, 0, 0, 255}}));
  ASSERT_EQ(Kit(dir, "import --shared s.tlf a.png b.png").err, "");
  EXPECT_EQ(dir.Read("a.tmf").substr(64, 1) + dir.Read("b.tmf").substr(64, 1), "\x12\x01");
  // An imposed palette: its first entry whose alpha bit is 0, hidden red here.
  dir.Write("imposed.tlf",
            EncodeTlf(kTlfTypeRgba5551, std::vector<uint16_t>{0xF801, 0xF800, 0}, 4));
  ASSERT_EQ(Kit(dir, "import --palette imposed.tlf b.png").err, "");
  EXPECT_EQ(dir.Read("b.tmf").substr(64, 1), "\x10");
}

TEST(Kit, ImportTakesAPictureAsLargeAsItsCap) {
  ts::TempDir dir;
  dir.Write("cap.png", Bytes(ts::MakeBlankPng(4096, 4096)));
  ASSERT_EQ(Kit(dir, "import cap.png").status, 0);
  EXPECT_EQ(dir.Read("cap.tmf").size(), 64 + 4096 * 4096 / 2);
}

TEST(Kit, OutDirMakesTheFoldersItNeedsAndClearsWhatKilledJobsLeft) {
  ts::TempDir dir;
  dir.Write("walk1.png", ts::WalkExample("walk1.png"));
  ASSERT_EQ(Kit(dir, "import walk1.png --out-dir a/b/").err, "");
  EXPECT_TRUE(fs::is_regular_file(dir.path() / "a/b/walk1.tmf"));
  // What a killed job left there goes with the next one that writes there:
  // no process has the id 4194304.
  dir.Write("a/b/.old.tmf.flipdeck-4194304-0.tmp", "cut short");
  ASSERT_EQ(Kit(dir, "import walk1.png --out-dir a/b/").err, "");
  EXPECT_FALSE(dir.Exists("a/b/.old.tmf.flipdeck-4194304-0.tmp"));
}

// A sheet's project (of new_sheet.json): its pictures named after their
// first frames (apart where case is ignored, as their images must be),
// their images after the project too, and the sheet named in each file by
// its path from there (new_sheet.tpf.golden, P standing for each size and
// print).
TEST(Kit, NewSheetWritesOneProjectThatNamesItsSheet) {
  ts::TempDir dir;
  // The first frame of 17 colours, one more than a 4-bit image shows.
  std::vector<Rgba8> colours;
  for (uint8_t i = 0; i < 18; ++i) colours.push_back({Widen5To8(i), 0, 0, 255});
  dir.Write("art/s.png", ts::MakeRgbaPng(18, colours));
  dir.Write("art/s.json", ts::TestFile("kit/commands/new_sheet.json"));
  ASSERT_EQ(Kit(dir, "new w --sheet art/s.json --out-dir anim --fps 30").err, "");
  // Sizes and prints depend on the PNG's compression: they are left out.
  const std::string tpf = std::regex_replace(dir.Read("anim/w.tpf"),
                                             std::regex("[0-9]+,[0-9a-f]{16}|[0-9a-f]{16}"), "P");
  EXPECT_EQ(tpf, ts::TestFile("kit/commands/new_sheet.tpf.golden"));
  EXPECT_EQ(dir.Read("anim/w-walk_0.tmf")[19], 8);  // bits a pixel
  const std::string taf = dir.Read("anim/w.taf");
  for (const char* line : {"\n# From the sheet ../art/s.json: every frame at 30 fps.\n",
                           "\nFRAME_LENGTH = 6\n", "\nFRAME_KEY1 = 3,0,Walk_0_2\n"})
    EXPECT_NE(taf.find(line), std::string::npos) << line << taf;
}

// A link under a target's name is written through, never replaced: it may
// be the system's own, as /dev/stdout is.
TEST(Kit, JobsWriteThroughLinks) {
  ts::TempDir dir;
  ts::WriteWalkExample(dir.path(), {"walk1.tmf", "walk.tlf"});
  fs::create_directory(dir.path() / "shared");
  fs::create_symlink("shared/walk1.png", dir.path() / "walk1.png");
  ASSERT_EQ(Kit(dir, "export walk1.tmf walk.tlf -o walk1.png").status, 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "walk1.png"));
  EXPECT_TRUE(dir.Read("shared/walk1.png").starts_with("\x89PNG"));
}

TEST(Kit, FailedJobsSayWhyAndChangeNoFile) {
  ts::TempDir dir;
  ts::LayOut(ReadKitCases("kit/commands/failed_jobs.folder").front().fixture, dir);
  dir.Write("cut.png", ts::WalkExample("walk1.png").substr(0, 60));
  // 400 colours, all different in RGBA 5551 too.
  ts::PngFixture many{2, 8, false, 20, 20, {}, {}, 0, {}};
  for (uint16_t i = 0; i < 400; ++i)
    many.samples.insert(many.samples.end(), {Widen5To8(i % 32), Widen5To8(i / 32), 0});
  dir.Write("many.png", Bytes(ts::MakeTestPng(many)));
  // A palette of opaque black and white only.
  dir.Write("two.png",
            Bytes(ts::MakeTestPng(
                {3, 1, false, 2, 1, {0, 1}, {{0, 0, 0, 255}, {255, 255, 255, 255}}, 0, {}})));
  // 1-bit grey of 16384 x 16384 in 33 KB: 268 million pixels, refused at
  // the header rather than decoded; and the smallest picture past the cap.
  dir.Write("huge.png", Bytes(ts::MakeBlankPng(16384, 16384)));
  dir.Write("over.png", Bytes(ts::MakeBlankPng(4097, 4096)));
  dir.Write("wide.png", Bytes(ts::MakeBlankPng(65537, 1)));
  // Things that are no regular file, kept out of the snapshot below.
  ts::TempDir elsewhere;
  fs::create_directory(elsewhere.Path("folder.png"));
  std::vector<uint8_t> header =
      ts::Assemble({6, 8, false, 16384, 16384, {}, {}, 0, {}}, {0x78, 0x9c});
  header.resize(header.size() - 12);  // no IEND
  const ts::CFeedingFifo fifo(elsewhere.Path("fifo.png"), Bytes(header));
  // A picture kept under a name that does not say so.
  dir.Write("art", ts::WalkExample("walk1.png"));

  const auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
      files[entry.path().string()] =
          entry.is_directory() ? "(a folder)" : ts::ReadFileBytes(entry.path().string());
    return files;
  };
  const auto before = snapshot();
  for (const ts::TableRow& row : ts::ReadTable("kit/commands/failed_jobs.table")) {
    if ((row.input.find("fifo.png") != std::string::npos && !fifo.IsMade()) ||
        (row.input.find("@NULL@") != std::string::npos && *ts::kNullDevice == '\0'))
      continue;
    const auto fill = [&](std::string text) {
      text = ts::WithDir(text, elsewhere.path().string());
      const size_t at = text.find("@NULL@");
      return at == std::string::npos ? text : text.replace(at, 6, ts::kNullDevice);
    };
    const bool unread = row.expected.starts_with("(2) ");
    const KitRun run = Kit(dir, fill(row.input));
    EXPECT_EQ(run.status, unread ? 2 : 1) << row.where;
    EXPECT_NE(run.err.find(fill(row.expected.substr(unread ? 4 : 0))), std::string::npos)
        << row.where << "\n"
        << run.err;
    EXPECT_TRUE(snapshot() == before) << row.where << ": files changed";
  }
}

// Whatever its names hold, new either refuses them and writes nothing, or
// writes a project that flipdeck converts from the folder it went to: a
// picture's name goes into the TPF, NAME into both files, and the folder
// is where flipdeck searches the images.
TEST(Kit, NewWritesOnlyProjectsThatConvert) {
  const std::string png = ts::WalkExample("walk1.png");
  std::vector<std::string> odd = {"$(TPF_DIR)", "$(", ")x$(", "\xc3\xa9", "\xe9"};
  for (int c = 1; c < 128; ++c) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!plain && c != '/') odd.emplace_back(1, static_cast<char>(c));
  }
  enum Place { kPicture, kName, kFolder };
  for (const std::string& text : odd) {
    for (const Place place : {kPicture, kName, kFolder}) {
      for (const bool first : {false, true}) {
        const std::string name = first ? text + "a" : "a" + text + "b";
        SCOPED_TRACE(testing::Message() << "place " << place << ": `" << name << "`");
        ts::TempDir dir;
        NewOptions options;
        options.name = place == kName ? name : "walk";
        options.outDir = place == kFolder ? name : "";
        options.pictures = {place == kPicture ? name + ".png" : "walk1.png"};
        dir.Write(options.pictures[0], png);
        // new makes the folder; `\` separates folders on every system, as
        // in flipdeck.
        const fs::path folder = dir.path() / ToNativePath(options.outDir);
        const size_t before = std::distance(fs::recursive_directory_iterator(dir.path()), {});
        const ts::OutputCapture err(std::cerr);
        int status = 0;
        {
          const ts::ScopedWorkingDir cwd(dir.path());
          status = RunNew(options);
        }
        if (status != 0) {
          EXPECT_NE(err.Text().find("flipdeck-kit: error: "), std::string::npos);
          EXPECT_EQ(std::distance(fs::recursive_directory_iterator(dir.path()), {}), before);
          continue;
        }
        const ts::ProcessResult run =
            ts::RunFlipdeck({"-oout.c", options.name + ".taf"}, folder.string());
        EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
        EXPECT_EQ(run.out.find("err :"), std::string::npos) << run.out << run.err;
      }
    }
  }
}

// Each row of unreadable_animations.table reads an animation that cannot be
// read.
TEST(Kit, SaysWhyAnAnimationCannotBeRead) {
  ts::TempDir dir;
  fs::create_directory(dir.path() / "folder.taf");
  dir.Write("huge.taf", "");
  fs::resize_file(dir.path() / "huge.taf", CKeyValueFile::kMaxFileSize + 1);
  for (const ts::TableRow& row : ts::ReadTable("kit/commands/unreadable_animations.table")) {
    const KitRun run = Kit(dir, row.input);
    EXPECT_EQ(run.status, 1) << row.where;
    const std::string said = row.input.starts_with("check ") ? run.out : run.err;
    EXPECT_NE(said.find(row.expected), std::string::npos) << row.where << "\n" << said;
  }
}

}  // namespace
