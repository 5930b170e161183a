// A project that remembers its art, edited as an artist edits it: each case
// draws the art, makes a project with new, edits the art or a file made from
// it, then runs sync or import. It says which files change; every other file
// keeps its bytes and its time. check says what is stale before, and nothing
// of it after. A sync that fails changes no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "kit/kit_run.h"
#include "kit/pictures/sync.h"
#include "support/case_file.h"
#include "support/png_fixture.h"
#include "support/png_picture.h"
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
  std::vector<Rgba8> pixels;
  for (const std::string& row : rows)
    for (const char c : row) pixels.push_back(Letter(c));
  return ts::MakeRgbaPng(static_cast<uint32_t>(rows[0].size()), pixels);
}

// One step of a case on its files: "png FILE DRAWING", "text FILE" and
// "append FILE" with their block, "remove FILE", "touch FILE".
void Step(const ts::TempDir& dir, const ts::Directive& step) {
  std::istringstream words(step.rest);
  std::string file;
  std::string drawing;
  words >> file >> drawing;
  if (step.verb == "png") dir.Write(file, DrawPng(drawing));
  if (step.verb == "text") dir.Write(file, step.block);
  if (step.verb == "append") dir.Write(file, dir.Read(file) + step.block);
  if (step.verb == "remove") fs::remove(dir.path() / file);
  if (step.verb == "touch")
    fs::last_write_time(dir.path() / file, fs::file_time_type::clock::now());
}

struct Files {
  std::map<std::string, std::string> bytes;
  std::map<std::string, fs::file_time_type> times;
};

Files Snapshot(const ts::TempDir& dir) {
  Files files;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().lexically_relative(dir.path()).generic_string();
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

// One case of cases/sync.cases: its steps in order, `new` among them.
struct ArtEdit {
  std::string anime, run, says, changes, checkBefore, checkAfter;
  std::vector<ts::Directive> steps;
};

ArtEdit ReadArtEdit(const ts::CaseText& text) {
  static const std::set<std::string> steps = {"png", "text", "append", "remove", "touch", "new"};
  ArtEdit row;
  for (const ts::Directive& d : text.directives) {
    if (steps.count(d.verb) != 0)
      row.steps.push_back(d);
    else if (d.verb == "expect")
      (d.rest == "before" ? row.checkBefore : row.checkAfter) = d.block;
    else {
      std::string* field = d.verb == "anime"     ? &row.anime
                           : d.verb == "run"     ? &row.run
                           : d.verb == "says"    ? &row.says
                           : d.verb == "changes" ? &row.changes
                                                 : nullptr;
      EXPECT_NE(field, nullptr) << d.where << ": no sync case directive: " << d.verb;
      if (field != nullptr) *field = d.rest;
    }
  }
  for (const std::string& fault : text.faults) ADD_FAILURE() << fault;
  return row;
}

TEST(Sync, KeepsTheProjectInStepWithItsArt) {
  for (const ts::CaseText& text :
       ts::ReadCases(fs::path(FLIPDECK_SOURCE_DIR) / "tests/kit/pictures/cases/sync.cases")) {
    SCOPED_TRACE(text.where);
    const ArtEdit row = ReadArtEdit(text);
    ts::TempDir dir;
    const auto check = [&] { return row.anime.empty() ? "" : Kit(dir, "check " + row.anime).out; };
    for (const ts::Directive& step : row.steps) {
      if (step.verb != "new") {
        Step(dir, step);
        continue;
      }
      ASSERT_EQ(Kit(dir, "new " + step.rest).status, 0) << step.where;
      // Everything made an hour ago: an edit is newer, whatever the clock's grain.
      const fs::file_time_type made = fs::file_time_type::clock::now() - std::chrono::hours(1);
      for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        fs::last_write_time(entry.path(), made);
      ASSERT_EQ(check(), "");
    }
    EXPECT_EQ(check(), row.checkBefore);

    const Files before = Snapshot(dir);
    const KitRun run = Kit(dir, row.run);
    EXPECT_EQ(run.status, row.says.find("error") == std::string::npos ? 0 : 1);
    EXPECT_NE((run.out + run.err).find(row.says), std::string::npos) << run.out << run.err;
    const Files after = Snapshot(dir);
    EXPECT_EQ(Changes(before, after), row.changes);
    for (const auto& [name, time] : after.times) {
      if (before.bytes.count(name) != 0 && before.bytes.at(name) == after.bytes.at(name)) {
        EXPECT_EQ(time, before.times.at(name)) << name << " was written again";
      }
    }
    EXPECT_EQ(check(), row.checkAfter);
    // A sync that changed what it had to has nothing left to do.
    if (run.status != 0) continue;
    Kit(dir, row.run);
    EXPECT_EQ(Changes(after, Snapshot(dir)), "");
  }
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
    const ts::OutputCapture err(std::cerr);
    CSyncReport report;
    EXPECT_EQ(SyncProjects({{named}, false}, report, reporter), synced);
    EXPECT_EQ(err.Text(), "");
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
  ts::WriteWalkExample(dir.path(), {"walk1.png", "walk-sheet.png", "walk-sheet.json"});
  ASSERT_EQ(Kit(dir, "new w walk1.png").status, 0);
  ASSERT_EQ(Kit(dir, "new s --sheet walk-sheet.json").status, 0);
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

// Art saved as a palette PNG, as the walk example's is, is made again pixel
// by pixel: the picture then shows the art's colours, as export shows them.
TEST(Sync, RemakesAPictureFromAPalettePng) {
  ts::TempDir dir;
  ts::WriteWalkExample(dir.path(), {"walk1.png", "walk2.png"});
  ASSERT_EQ(Kit(dir, "new w walk1.png").status, 0);
  dir.Write("walk1.png", ts::WalkExample("walk2.png"));
  ASSERT_EQ(Kit(dir, "sync w.taf").status, 0);
  ASSERT_EQ(Kit(dir, "export walk1.tmf w.tlf -o back.png").status, 0);
  ts::CPngPicture art;
  ts::CPngPicture back;
  std::string message;
  ASSERT_TRUE(ts::ReadPngFile(dir.Path("walk1.png"), art, message) &&
              ts::ReadPngFile(dir.Path("back.png"), back, message));
  ASSERT_TRUE(art.indexed && back.indices.size() == art.indices.size());
  for (size_t i = 0; i < art.indices.size(); ++i)
    EXPECT_EQ(back.palette[back.indices[i]], art.palette[art.indices[i]]) << i;
}

}  // namespace
