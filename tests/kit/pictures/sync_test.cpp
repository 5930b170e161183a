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
#include "support/case_file.h"
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
  std::vector<Rgba8> pixels;
  for (const std::string& row : rows)
    for (const char c : row) pixels.push_back(Letter(c));
  return ts::MakeRgbaPng(static_cast<uint32_t>(rows[0].size()), pixels);
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

// One case of cases/sync.cases.
struct ArtEdit {
  std::string base, run, says, changes, checkBefore, checkAfter;
  std::vector<std::string> edits;
};

ArtEdit ReadArtEdit(const ts::CaseText& text) {
  ArtEdit row;
  for (const ts::Directive& d : text.directives) {
    if (d.verb == "edit")
      row.edits.push_back(d.rest);
    else if (d.verb == "expect")
      (d.rest == "before" ? row.checkBefore : row.checkAfter) = d.block;
    else {
      std::string* field = d.verb == "base"      ? &row.base
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
    const bool sheet = row.base != "pictures";
    if (sheet) {
      dir.Write("s.png", DrawPng("ab....ba.a.a/ab......a.a./........b.b./............"));
      dir.Write("s.json", SheetJson({100, 100}, "run"));
      const bool grid = row.base == "grid";
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
    EXPECT_EQ(Kit(dir, anime).out, row.checkAfter);
    // A sync that changed what it had to has nothing left to do.
    if (run.status != 0) continue;
    Kit(dir, row.run);
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
