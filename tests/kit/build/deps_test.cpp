// flipdeck-kit deps against flipdeck itself: the images and palettes it
// lists are the ones a verbose conversion says it writes, in the same
// order, and the dependency file is one make and Ninja read as meant.
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
#include "kit/build/depfile_spelling.h"
#include "kit/build/deps.h"
#include "kit/commands/kit.h"
#include "kit/common/conversion_inputs.h"
#include "support/kit_cases.h"
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
  for (const KitCase& c : ReadKitCases("kit/build/cases/deps.cases")) {
    SCOPED_TRACE(c.name);
    ts::TempDir dir;
    ts::LayOut(c.fixture, dir);
    std::vector<std::string> inputs;
    {
      ts::ScopedWorkingDir cwd(dir.path());
      CAnimeFile anime{testing_support::FailOnLoadError};
      ASSERT_TRUE(anime.Load(c.anime));
      inputs = ConversionInputs(anime, c.anime);
    }
    ASSERT_FALSE(inputs.empty());
    EXPECT_EQ(inputs.front(), dir.Path(c.anime));
    // The projects and the art, as the case lists them, then the images and
    // palettes.
    std::set<std::string> projects;
    std::vector<std::string> data;
    for (size_t i = 1; i < inputs.size(); ++i) {
      if (inputs[i].ends_with(".tmf") || inputs[i].ends_with(".tlf"))
        data.push_back(inputs[i]);
      else
        projects.insert(fs::path(inputs[i]).lexically_relative(dir.path()).generic_string() + "\n");
    }
    EXPECT_EQ(std::accumulate(projects.begin(), projects.end(), std::string()), c.expect);
    EXPECT_EQ(data, LoadedByFlipdeck(dir.path().string(), c.anime));
  }
}

TEST(Deps, PathsAreSpeltSoMakeAndNinjaReadThemAlike) {
  for (const ts::TableRow& row : ts::ReadTable("kit/build/depfile_spelling.table")) {
    SCOPED_TRACE(row.where);
    std::istringstream words(row.input);
    std::string side;
    std::string style;
    words >> side >> style;
    const std::string path = row.input.substr(side.size() + style.size() + 2);
    std::string spelt;
    std::string fault;
    const bool written =
        SpellForDepfile(path, side == "target" ? DepfileSide::kTarget : DepfileSide::kPrerequisite,
                        style == "windows" ? PathStyle::Windows : PathStyle::Posix, spelt, fault);
    if (row.expected.starts_with("! ")) {
      EXPECT_FALSE(written);
      EXPECT_EQ(fault,
                row.expected.substr(2) + ", which make or Ninja misreads in a dependency file");
    } else {
      EXPECT_TRUE(written) << fault;
      EXPECT_EQ(spelt, row.expected);
    }
  }
}

// The whole command, as compilers spell it (-MF), in directories whose names
// need every escape ('%' only in the inputs'): make must read back the output
// and every input as deps found them, and Ninja must see the output up to
// date, and out of date once an image changes.
TEST(Deps, MakeAndNinjaReadTheDependencyFile) {
  const bool haveMake = std::system("make --version > /dev/null 2>&1") == 0;
  const bool haveNinja = std::system("ninja --version > /dev/null 2>&1") == 0;
  if (!haveMake && !haveNinja) GTEST_SKIP() << "no make, no ninja";
  ts::TempDir root;
  const fs::path dir = root.path() / "take #2 $x: 1:2";
  const fs::path anim = dir / "100% done";
  ts::WriteWalkExample(anim);
  ts::ScopedWorkingDir cwd(anim);
  const std::string out = (dir / "out.c").string();
  const char* args[] = {"flipdeck-kit", "deps", "walk.taf", "-o", out.c_str(), "-MF", "../out.d"};
  ASSERT_EQ(RunKit(7, args), 0);
  CAnimeFile anime{testing_support::FailOnLoadError};
  ASSERT_TRUE(anime.Load("walk.taf"));
  const std::vector<std::string> inputs = ConversionInputs(anime, "walk.taf");
  fs::current_path(dir);
  const fs::file_time_type now = fs::file_time_type::clock::now();
  for (const std::string& input : inputs) fs::last_write_time(input, now - std::chrono::minutes(1));

  if (haveMake) {
    std::ofstream(dir / "Makefile") << ts::ReadFileBytes("out.d") << "\t$(file >got.txt,$@|$^)\n";
    EXPECT_EQ(std::system("make -s"), 0);
    std::string read = out + "|";
    for (const std::string& input : inputs) read += input + (&input == &inputs.back() ? "\n" : " ");
    EXPECT_EQ(ts::ReadFileBytes("got.txt"), read);
  }
  if (haveNinja) {
    std::string target;  // as a Ninja build file writes it
    for (char c : out) target += (c == ' ' || c == ':' || c == '$' ? "$" : "") + std::string(1, c);
    std::ofstream(dir / "build.ninja") << "rule touch\n  command = touch $out\n  depfile = out.d\n"
                                       << "build " << target << ": touch\n";
    EXPECT_EQ(std::system("ninja > /dev/null"), 0);
    EXPECT_EQ(std::system("ninja -n | grep -q 'no work to do'"), 0);
    fs::last_write_time(anim / "walk2.tmf", now + std::chrono::minutes(1));
    EXPECT_NE(std::system("ninja -n | grep -q 'no work to do'"), 0);
  }
}

}  // namespace
