// flipdeck-kit deps against flipdeck itself: the images and palettes it
// lists are the ones a verbose conversion says it writes, in the same
// order, and the dependency file is one make reads as meant.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <set>
#include <sstream>

#include "anime/anime_file.h"
#include "kit/deps.h"
#include "kit/kit.h"
#include "kit_cases.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

// The files flipdeck -v says it writes the data of, each once, in order.
std::vector<std::string> LoadedByFlipdeck(const std::string& dir, const std::string& anime) {
  const ts::ProcessResult run = ts::RunFlipdeck({"-v", "-oout.c", anime}, dir);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  std::vector<std::string> files;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    for (const std::string prefix : {"Texture Data output[", "Palette Data output["}) {
      if (!line.starts_with(prefix)) continue;
      const std::string file = line.substr(prefix.size(), line.find(']') - prefix.size());
      if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
  }
  return files;
}

TEST(Deps, ListsWhatFlipdeckReads) {
  for (const KitCase& c : ReadKitCases("deps.cases")) {
    SCOPED_TRACE(c.name);
    ts::TempDir dir;
    for (const auto& [name, bytes] : c.files) dir.Write(name, bytes);
    std::vector<std::string> inputs;
    {
      ts::ScopedWorkingDir cwd(dir.path());
      CAnimeFile anime{testing_support::FailOnLoadError};
      ASSERT_TRUE(anime.Load(c.anime));
      inputs = ConversionInputs(anime, c.anime);
    }
    ASSERT_FALSE(inputs.empty());
    EXPECT_EQ(inputs.front(), dir.Path(c.anime));
    // The projects, as the case lists them, then the images and palettes.
    std::set<std::string> projects;
    std::vector<std::string> data;
    for (size_t i = 1; i < inputs.size(); ++i) {
      if (inputs[i].ends_with(".tpf"))
        projects.insert(fs::path(inputs[i]).lexically_relative(dir.path()).generic_string() + "\n");
      else
        data.push_back(inputs[i]);
    }
    EXPECT_EQ(std::accumulate(projects.begin(), projects.end(), std::string()), c.expect);
    EXPECT_EQ(data, LoadedByFlipdeck(dir.path().string(), c.anime));
  }
}

TEST(Deps, PathsAreEscapedForMakeAndNinja) {
  const std::pair<std::string, std::string> cases[] = {{"/a/walk.tmf", "/a/walk.tmf"},
                                                       {"/my anim/a b.tmf", "/my\\ anim/a\\ b.tmf"},
                                                       {"/$HOME/x", "/$$HOME/x"},
                                                       {"/take#2/x", "/take\\#2/x"}};
  for (const auto& [path, written] : cases) {
    std::string escaped;
    EXPECT_TRUE(EscapeForMake(path, escaped));
    EXPECT_EQ(escaped, written);
  }
  std::string escaped;
  EXPECT_FALSE(EscapeForMake("/a\nb.tmf", escaped));
}

// The whole command, as compilers spell it (-MF), in a directory whose name
// needs every escape: make must find every prerequisite, see the output up
// to date, and out of date once an image changes.
TEST(Deps, MakeReadsTheDependencyFile) {
  if (std::system("make --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no make";
  ts::TempDir root;
  const fs::path dir = root.path() / "take #2 $x";
  fs::create_directories(dir);
  for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf"})
    fs::copy_file(fs::path(FLIPDECK_SOURCE_DIR) / "examples/walk" / name, dir / name);
  ts::ScopedWorkingDir cwd(dir);
  const char* args[] = {"flipdeck-kit", "deps", "walk.taf", "-o", "out.c", "-MF", "out.d"};
  ASSERT_EQ(RunKit(7, args), 0);
  std::ofstream(dir / "Makefile") << "out.c:\n\ttouch out.c\ninclude out.d\n";
  std::ofstream(dir / "out.c").put('\n');
  // Inputs a minute old and the output half as old: up to date.
  const fs::file_time_type now = fs::last_write_time(dir / "out.c");
  for (const auto& entry : fs::directory_iterator(dir))
    fs::last_write_time(entry.path(), now - std::chrono::seconds(60));
  fs::last_write_time(dir / "out.c", now - std::chrono::seconds(30));
  ASSERT_EQ(std::system("make -q out.c"), 0);
  fs::last_write_time(dir / "walk2.tmf", now - std::chrono::seconds(10));
  EXPECT_NE(std::system("make -q out.c"), 0);
  EXPECT_EQ(std::system("make -s out.c > /dev/null && make -q out.c"), 0);
}

}  // namespace
