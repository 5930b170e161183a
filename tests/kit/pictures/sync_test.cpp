// A project that remembers its art, edited as an artist edits it: each row
// makes a project with new, edits its art (a PNG, the sheet's JSON) or a
// file made from it, then runs sync or import. It says which files change;
// every other file keeps its bytes and its time. check says what is stale
// before, and nothing of it after. A sync that fails changes no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "kit/kit_run.h"
#include "kit/pictures/sync.h"
#include "support/png_fixture.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

// Pictures drawn in letters: '.' is transparent, 'a' to 'z' 26 colours
// RGBA 5551 holds as they are; rows are separated by '/'.
Rgba8 Letter(char c) {
  if (c == '.') return {0, 0, 0, 0};
  const int i = c - 'a';
  return {Widen5To8(static_cast<uint8_t>(i * 5 % 32)), Widen5To8(static_cast<uint8_t>(i * 11 % 32)),
          Widen5To8(static_cast<uint8_t>(i * 17 % 32)), 255};
}

std::string DrawPng(const std::string& drawing) {
  std::vector<std::string> rows;
  std::istringstream lines(drawing);
  for (std::string row; std::getline(lines, row, '/');) rows.push_back(row);
  ts::PngFixture png{6, 8, false, static_cast<uint32_t>(rows[0].size()),
                     static_cast<uint32_t>(rows.size()), {}, {}, 0, {}};
  for (const std::string& row : rows)
    for (const char c : row) {
      const Rgba8 p = Letter(c);
      png.samples.insert(png.samples.end(), {p.r, p.g, p.b, p.a});
    }
  const std::vector<uint8_t> bytes = ts::MakeTestPng(png);
  return {bytes.begin(), bytes.end()};
}

// The sheet's JSON: `durations.size()` frames of 4 x 4, side by side, and
// the tag `tag` over the first two.
std::string SheetJson(const std::vector<int>& durations, const std::string& tag) {
  std::string frames;
  for (size_t i = 0; i < durations.size(); ++i)
    frames += std::string(i == 0 ? "" : ",") + R"({"filename": "f)" + std::to_string(i) +
              R"(", "frame": {"x": )" + std::to_string(4 * i) +
              R"(, "y": 0, "w": 4, "h": 4}, "duration": )" + std::to_string(durations[i]) + "}";
  return R"({"frames": [)" + frames + R"(], "meta": {"image": "s.png", "frameTags": [{"name": ")" +
         tag + R"(", "from": 0, "to": 1}]}})";
}

// One edit: "png FILE DRAWING", "json DURATIONS TAG", "rm FILE",
// "touch FILE", "append FILE TEXT".
void Edit(const ts::TempDir& dir, const std::string& edit) {
  std::istringstream words(edit);
  std::string verb;
  std::string file;
  words >> verb >> file;
  std::string rest;
  std::getline(words >> std::ws, rest);
  if (verb == "png") dir.Write(file, DrawPng(rest));
  if (verb == "rm") fs::remove(dir.path() / file);
  if (verb == "touch") fs::last_write_time(dir.path() / file, fs::file_time_type::clock::now());
  if (verb == "append") dir.Write(file, dir.Read(file) + rest + "\n");
  if (verb != "json") return;
  std::vector<int> durations;
  std::istringstream list(file);
  for (std::string ms; std::getline(list, ms, ',');) durations.push_back(std::stoi(ms));
  dir.Write("s.json", SheetJson(durations, rest));
}

struct Files {
  std::map<std::string, std::string> bytes;
  std::map<std::string, fs::file_time_type> times;
};

Files Snapshot(const ts::TempDir& dir) {
  Files files;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    files.bytes[name] = dir.Read(name);
    files.times[name] = fs::last_write_time(entry.path());
  }
  return files;
}

// "walk3.tmf w.tlf +s-f2.tmf -s-run.taf": the files changed, made, removed.
std::string Changes(const Files& before, const Files& after) {
  std::string changes;
  for (const auto& [name, bytes] : after.bytes) {
    const auto old = before.bytes.find(name);
    if (old == before.bytes.end()) changes += " +" + name;
    else if (old->second != bytes) changes += " " + name;
  }
  for (const auto& [name, bytes] : before.bytes)
    if (after.bytes.count(name) == 0) changes += " -" + name;
  return changes.empty() ? "" : changes.substr(1);
}

struct ArtEdit {
  const char* name;
  const char* base;  // "pictures": w from walk1..3.png; "sheet": s from s.json; "grid": s
                     // from s.png cut in cells of 4 x 4
  std::vector<std::string> edits;
  const char* action;
  const char* checkBefore;  // check's whole report after the edit
  const char* changes;      // what the action changes (Changes)
  const char* says;         // what its report holds; it fails when this holds "error"
  const char* checkAfter;
};

const char* const kWalk3Stale =
    "w.tpf:15: warning: walk3.tmf is older than walk3.png; flipdeck will show the old picture "
    "(run flipdeck-kit sync w.tpf)\n";
const char* const kSheetStale =
    "s.tpf:15: warning: s.tpf is older than s.json; flipdeck will show the old animation (run "
    "flipdeck-kit sync s.tpf)\n";
const char* const kSheetPngStale =
    "s.tpf:15: warning: s.tpf is older than s.png; flipdeck will show the old animation (run "
    "flipdeck-kit sync s.tpf)\n";

const ArtEdit kEdits[] = {
    {"times_only", "pictures", {"touch walk1.png", "touch walk3.png"}, "sync w.tpf", "", "", "", ""},
    {"pixel_to_a_colour_in_the_palette", "pictures", {"png walk3.png ab.a/cca."}, "sync w.taf",
     kWalk3Stale, "walk3.tmf", "walk3.tmf: made again from walk3.png", ""},
    {"pixel_to_a_new_colour", "pictures", {"png walk3.png ab.d/cc.."}, "sync w.tpf", kWalk3Stale,
     "w.tlf walk3.tmf", "w.tlf: takes the new colours", ""},
    // 3 of the 16 entries stay in use (transparent, a, b); c's is free again.
    {"new_colours_fill_the_palette", "pictures", {"png walk3.png defg/hijk/lmno/p..."},
     "sync w.tpf", kWalk3Stale, "w.tlf walk3.tmf", "walk3.tmf: made again", ""},
    {"new_colours_past_a_full_palette", "pictures", {"png walk3.png defg/hijk/lmno/pq.."},
     "sync w.tpf", kWalk3Stale, "",
     "error: walk3.png: pixel (1, 3) is #848484ff, which has no place in w.tlf: its 16 entries "
     "are all in use; nothing written",
     kWalk3Stale},
    {"edited_png_imported", "pictures", {"png walk3.png ab.d/cc.."}, "import walk3.png",
     kWalk3Stale, "w.tlf walk3.tmf",
     "walk3.png: imported through w.tlf, the palette w.tpf shares among its pictures", ""},
    // A palette named on the command line wins over the project's, and
    // check then tells the picture that does not fit its project.
    {"edited_png_imported_through_a_palette_given", "pictures", {"png walk3.png ab.d/cc.."},
     "import --shared own.tlf walk3.png", kWalk3Stale, "+own.tlf walk3.tmf", "",
     "w.tpf:7: error: picture walk3: walk3.tmf pixel (0, 1) has index 4, past the 4 colours of "
     "w.tlf (2 pixels in all), in the 0x0000 entries that only fill it up: it shows transparent; "
     "was walk3.tmf made with another palette?\n"
     "w.tpf:15: warning: walk3.tmf was not made from walk3.png as it is; flipdeck will show the "
     "old picture (run flipdeck-kit sync w.tpf)\n"},
    {"art_deleted", "pictures", {"rm walk2.png"}, "sync w.tpf",
     "w.tpf:14: warning: ART.1 names walk2.png, which is missing: flipdeck-kit sync has nothing "
     "to make the project's files again from\n",
     "", "warning: walk2.png: is missing, so walk2.tmf stays as it is",
     "w.tpf:14: warning: ART.1 names walk2.png, which is missing: flipdeck-kit sync has nothing "
     "to make the project's files again from\n"},
    {"frame_added", "sheet", {"json 100,100,50 run"}, "sync s.taf", kSheetStale,
     "+s-f2.tmf s.taf s.tpf", "s.tpf: made again from s.json", ""},
    // The JSON as it was: the sheet's picture alone tells the frame changed.
    {"sheet_png_repainted", "sheet",
     {"png s.png ab..a.ba.a.a/ab......a.a./........b.b./............"}, "sync s.tpf",
     kSheetPngStale, "s-f1.tmf s.tpf", "s-f1.tmf: made again from s.json", ""},
    // The second frame painted as the first: its picture goes.
    {"frame_painted_as_another", "sheet",
     {"png s.png ab..ab..a.a./ab..ab....a./........b.b./............"}, "sync s.tpf",
     kSheetPngStale, "s-run.taf s.taf s.tpf -s-f1.tmf",
     "s-f1.tmf: removed: no frame shows it any more", ""},
    {"grid_png_repainted", "grid",
     {"png s.png ab..a.ba.a.a/ab......a.a./........b.b./............"}, "sync s.tpf",
     "s.tpf:16: warning: s.tpf is older than s.png; flipdeck will show the old animation (run "
     "flipdeck-kit sync s.tpf)\n",
     "s-cell_1.tmf s.tpf", "s-cell_1.tmf: made again from s.png", ""},
    {"duration_changed", "sheet", {"json 100,200 run"}, "sync s.tpf", kSheetStale,
     "s-run.taf s.taf s.tpf", "s-run.taf: made again from s.json", ""},
    {"tag_renamed", "sheet", {"json 100,100 walk"}, "sync s.tpf", kSheetStale,
     "+s-walk.taf s.tpf -s-run.taf", "s-run.taf: removed: the sheet has no tag for it any more",
     ""},
    {"taf_edited_by_hand", "sheet", {"append s-run.taf # mine", "json 100,200 run"}, "sync s.tpf",
     kSheetStale, "",
     "error: s-run.taf: was edited by hand since flipdeck-kit wrote it, and the sheet changed: to "
     "keep the edit, save the file under another name",
     kSheetStale},
    {"taf_edited_by_hand_forced", "sheet", {"append s-run.taf # mine", "json 100,200 run"},
     "sync --force s.tpf", kSheetStale, "s-run.taf s.taf s.tpf", "", ""},
    // What the kit would write is what it wrote: the edit stays.
    {"taf_edited_where_sync_writes_the_same", "sheet", {"append s-run.taf # mine", "json 100,100,50 run"},
     "sync s.tpf", kSheetStale, "+s-f2.tmf s.taf s.tpf", "", ""},
};

TEST(Sync, KeepsTheProjectInStepWithItsArt) {
  for (const ArtEdit& row : kEdits) {
    SCOPED_TRACE(row.name);
    ts::TempDir dir;
    const bool sheet = std::string(row.base) != "pictures";
    if (sheet) {
      dir.Write("s.png", DrawPng("ab....ba.a.a/ab......a.a./........b.b./............"));
      dir.Write("s.json", SheetJson({100, 100}, "run"));
      const bool grid = std::string(row.base) == "grid";
      ASSERT_EQ(Kit(dir, grid ? "new s --grid 4x4 s.png" : "new s --sheet s.json").status, 0);
    } else {
      dir.Write("walk1.png", DrawPng("ab../ab.."));
      dir.Write("walk2.png", DrawPng("..ba/..ba"));
      dir.Write("walk3.png", DrawPng("ab.c/cc.."));
      ASSERT_EQ(Kit(dir, "new w walk1.png walk2.png walk3.png").status, 0);
    }
    // Everything made an hour ago: an edit is newer, whatever the clock's grain.
    const fs::file_time_type made = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& entry : fs::directory_iterator(dir.path()))
      fs::last_write_time(entry.path(), made);
    const std::string anime = sheet ? "check s.taf" : "check w.taf";
    ASSERT_EQ(Kit(dir, anime).out, "");
    for (const std::string& edit : row.edits) Edit(dir, edit);
    EXPECT_EQ(Kit(dir, anime).out, row.checkBefore);

    const Files before = Snapshot(dir);
    const KitRun run = Kit(dir, row.action);
    EXPECT_EQ(run.status, std::string(row.says).find("error") == std::string::npos ? 0 : 1);
    EXPECT_NE((run.out + run.err).find(row.says), std::string::npos) << run.out << run.err;
    const Files after = Snapshot(dir);
    EXPECT_EQ(Changes(before, after), row.changes);
    for (const auto& [name, time] : after.times) {
      if (before.bytes.count(name) != 0 && before.bytes.at(name) == after.bytes.at(name)) {
        EXPECT_EQ(time, before.times.at(name)) << name << " was written again";
      }
    }
    EXPECT_EQ(Kit(dir, anime).out, row.checkAfter);
    // A sync that changed what it had to has nothing left to do.
    if (run.status != 0) continue;
    Kit(dir, row.action);
    EXPECT_EQ(Changes(after, Snapshot(dir)), "");
  }
}

// Art kept in another folder is recorded relative to the project, so that
// both can move together, and sync finds it there.
TEST(Sync, FollowsArtKeptInAnotherFolder) {
  ts::TempDir dir;
  dir.Write("art/walk1.png", DrawPng("ab../ab.."));
  ASSERT_EQ(Kit(dir, "new w art/walk1.png --out-dir proj").status, 0);
  EXPECT_NE(dir.Read("proj/w.tpf").find("\nART.0 = ../art/walk1.png\n"), std::string::npos);
  const std::string before = dir.Read("proj/walk1.tmf");
  dir.Write("art/walk1.png", DrawPng("ba../ab.."));
  // The edit an hour after the picture was made, whatever the clock's grain.
  fs::last_write_time(dir.path() / "art/walk1.png",
                      fs::file_time_type::clock::now() + std::chrono::hours(1));
  const KitRun run = Kit(dir, "sync proj/w.tpf");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("walk1.tmf: made again from"), std::string::npos) << run.out;
  EXPECT_NE(dir.Read("proj/walk1.tmf"), before);
}

// A reporter handed in takes sync's messages as the console would word
// them, the loaders' among them, and the console gets none: how watch puts
// them on its page.
TEST(Sync, TellsTheReporterItIsHandedInsteadOfTheConsole) {
  ts::TempDir dir;
  dir.Write("walk1.png", DrawPng("ab../ab.."));
  dir.Write("walk2.png", DrawPng("..ba/..ba"));
  ASSERT_EQ(Kit(dir, "new w walk1.png walk2.png").status, 0);
  const ts::ScopedWorkingDir cwd(dir.path());
  // Syncs `named`, which must succeed or fail as `synced` says: what the
  // reporter was told.
  const auto sync = [](const std::string& named, bool synced) {
    std::vector<std::string> told;
    const CKitReporter reporter(
        [&told](std::string_view level, std::string_view file, std::string_view what) {
          told.push_back(std::string(level) + ": " + std::string(file) + ": " + std::string(what));
        });
    std::ostringstream err;
    std::streambuf* saved = std::cerr.rdbuf(err.rdbuf());
    CSyncReport report;
    EXPECT_EQ(SyncProjects({{named}, false}, report, reporter), synced);
    std::cerr.rdbuf(saved);
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(report.written.empty());
    return told;
  };
  dir.Write("walk2.png", DrawPng("defg/hijk/lmno/pqrs"));
  EXPECT_EQ(sync("w.taf", false),
            std::vector<std::string>{
                "error: walk2.png: pixel (1, 3) is #848484ff, which has no place in w.tlf: its 16 "
                "entries are all in use; nothing written"});
  dir.Write("w.tlf", "not a palette");
  EXPECT_EQ(sync("w.taf", false), std::vector<std::string>{"error: w.tlf: incorrect header size"});
  // A project named itself is meant to record its art.
  dir.Write("plain.tpf", "PICT_NUM = 1\nPICT.0 = walk1,walk1.tmf,w.tlf\n");
  EXPECT_EQ(sync("plain.tpf", true),
            std::vector<std::string>{
                "warning: plain.tpf: records no art, so there is nothing to sync (flipdeck-kit "
                "new records the art of the projects it makes)"});
}

// The keys and TMF fields the kit keeps of the art are flipdeck's to pass
// over: a project converts to the same bytes with and without them.
TEST(Sync, FlipdeckPassesOverWhatTheProjectRecordsOfItsArt) {
  ts::TempDir dir;
  dir.Write("walk1.png", DrawPng("ab../ab.."));
  dir.Write("s.png", DrawPng("ab....ba/ab....ba/......../........"));
  dir.Write("s.json", SheetJson({100, 100}, "run"));
  ASSERT_EQ(Kit(dir, "new w walk1.png").status, 0);
  ASSERT_EQ(Kit(dir, "new s --sheet s.json").status, 0);
  for (const std::string project : {"w", "s"}) {
    SCOPED_TRACE(project);
    const auto convert = [&] {
      const ts::ProcessResult run = ts::RunFlipdeck({"-oout.c", project + ".taf"}, dir.path().string());
      EXPECT_EQ(run.exitStatus, 0) << run.out;
      return dir.Read("out.c");
    };
    const std::string with = convert();
    // Without the art keys and the line sync reads, and with the TMF
    // fields zero as import writes them.
    std::string tpf;
    std::istringstream lines(dir.Read(project + ".tpf"));
    for (std::string line; std::getline(lines, line);)
      if (!line.starts_with("ART.") && !line.starts_with("# flipdeck-kit sync")) tpf += line + "\n";
    ASSERT_NE(tpf, dir.Read(project + ".tpf"));
    dir.Write(project + ".tpf", tpf);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      if (entry.path().extension() != ".tmf") continue;
      std::string tmf = dir.Read(entry.path().filename().string());
      tmf.replace(20, 44, std::string(44, '\0'));
      dir.Write(entry.path().filename().string(), tmf);
    }
    EXPECT_EQ(convert(), with);
  }
}

}  // namespace
