// The run catalogue: each case under cases/ describes one run of the built
// flipdeck, its files, and the exit status, console text and outputs it must
// give; no input of a run may change. cases/README.md says how a case is
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "support/case_file.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

const fs::path kCases = fs::path(FLIPDECK_SOURCE_DIR) / "tests/runs/cases";

// Lines of an output that begin with `prefix`, which must read `text`.
struct Lines {
  std::string output, prefix, text;
};

struct Case {
  ts::CaseFixture fixture;
  std::vector<std::string> args, absent, only;
  std::map<std::string, std::string> outputs;  // "stdout", "stderr" or a file: the whole text
  std::vector<Lines> lines;
  std::string stdoutFile;  // standard output goes there instead
  std::string cwd;         // the working directory, inside the run's directory
  int exit = -1;
};

// Every case of the catalogue by its name: a `.case` file holds one, a
// `.cases` table one an entry.
const std::map<std::string, ts::CaseText>& Catalogue() {
  static const std::map<std::string, ts::CaseText> cases = [] {
    std::map<std::string, ts::CaseText> found;
    for (const auto& entry : fs::directory_iterator(kCases)) {
      const fs::path ext = entry.path().extension();
      if (ext != ".case" && ext != ".cases") continue;
      for (ts::CaseText& c : ts::ReadCases(entry.path())) {
        const auto [at, added] = found.emplace(c.name, c);
        if (!added) at->second.faults.push_back(c.where + ": a second case named " + c.name);
      }
    }
    return found;
  }();
  return cases;
}

Case ParseCase(const std::string& name) {
  Case c;
  const ts::CaseText& text = Catalogue().at(name);
  std::vector<std::string> faults = text.faults;
  for (const ts::Directive& d : text.directives) {
    if (ts::ReadFixtureDirective(d, c.fixture, faults)) continue;
    std::istringstream words(d.rest);
    std::string value;
    words >> value;
    if (d.verb == "stdout" || d.verb == "stderr") {
      c.outputs[d.verb] = d.block;
    } else if (d.verb == "args") {
      c.args = ts::ReadArguments(d.rest);  // a case's own command line replaces an included one
    } else if (value.empty()) {
      faults.push_back(d.where + ": " + d.verb + " without its value");
    } else if (d.verb == "exit") {
      c.exit = std::stoi(value);
    } else if (d.verb == "only") {
      c.only.push_back(value);
    } else if (d.verb == "cwd") {
      c.cwd = value;
    } else if (d.verb == "output") {
      c.outputs[value] = d.block;
    } else if (std::string prefix; d.verb == "lines" && std::getline(words >> std::ws, prefix)) {
      c.lines.push_back({value, prefix, d.block});
    } else if (d.verb == "stdout-to") {
      c.stdoutFile = value;
    } else if (d.verb == "absent") {
      c.absent.push_back(value);
    } else {
      faults.push_back(d.where + ": no run directive: " + d.verb);
    }
  }
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
  return c;
}

// The hidden temporary files under `dir` that the case did not write: a run
// must take its own with it, however it ends.
std::vector<std::string> NewTemporaryFiles(const fs::path& dir, const Case& c) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const std::string relative = entry.path().lexically_relative(dir).generic_string();
    if (name.starts_with(".") && name.ends_with(".tmp") && c.fixture.files.count(relative) == 0 &&
        c.fixture.symlinks.count(relative) == 0)
      found.push_back(relative);
  }
  return found;
}

// The lines of `text` that begin with `prefix`, each ended by a LF.
std::string LinesBeginningWith(const std::string& text, const std::string& prefix) {
  std::istringstream lines(text);
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with(prefix)) kept += line + "\n";
  }
  return kept;
}

// Whether the case holds the rules of the system the tests run on.
bool OfThisSystem(const Case& c) {
  return c.only.empty() || std::ranges::count(c.only, ts::kSeparator == '/' ? "posix" : "win32");
}

// Writes the case's files, directories and links into `dir`, and puts the
// directory into its arguments.
void LayOut(Case& c, const ts::TempDir& dir) {
  ts::LayOut(c.fixture, dir);
  for (std::string& arg : c.args) arg = ts::WithDir(arg, dir.path().string());
}

// The anime file of the case's command line: the last argument that is no
// option nor the value of one; empty when there is none.
std::string AnimeArgument(const std::vector<std::string>& args) {
  std::string anime;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" || args[i] == "-e")
      ++i;
    else if (!args[i].starts_with("-"))
      anime = args[i];
  }
  return anime;
}

class Run : public ::testing::TestWithParam<std::string> {};

TEST_P(Run, GivesItsTextAndKeepsItsInputs) {
  Case c = ParseCase(GetParam());
  if (!OfThisSystem(c)) GTEST_SKIP() << "a run of another system's rules";

  ts::TempDir dir;
  const std::string root = dir.path().string();
  LayOut(c, dir);

  const ts::ProcessResult r = ts::RunFlipdeck(c.args, dir.Path(c.cwd), c.stdoutFile);
  EXPECT_EQ(r.exitStatus, c.exit);

  // Unless the case says otherwise, a run prints the banner alone.
  const bool stdoutLines = std::any_of(c.lines.begin(), c.lines.end(),
                                       [](const Lines& l) { return l.output == "stdout"; });
  if (c.stdoutFile.empty() && !stdoutLines) c.outputs.try_emplace("stdout");
  c.outputs.try_emplace("stderr");
  auto actual = [&](const std::string& name) {
    return name == "stdout" ? r.out : name == "stderr" ? r.err : dir.Read(name);
  };
  for (const auto& [name, text] : c.outputs) {
    std::string wanted = ts::WithDir(text, root);
    if (name == "stdout") wanted = ts::Banner() + wanted;
    // Error boxes make no text file: no CR LF on any system.
    if (name != "stderr") wanted = ts::AsWritten(wanted);
    EXPECT_EQ(actual(name), wanted) << name;
  }
  for (const Lines& l : c.lines)
    EXPECT_EQ(LinesBeginningWith(actual(l.output), l.prefix), ts::WithDir(l.text, root))
        << l.output << ": " << l.prefix;

  // Every file the case wrote is an input, unless the run is to replace or
  // delete it.
  for (const auto& [name, bytes] : c.fixture.files) {
    if (c.outputs.count(name) != 0 || std::ranges::count(c.absent, name)) continue;
    EXPECT_EQ(dir.Exists(name) ? dir.Read(name) : "<gone>", bytes) << name;
  }
  for (const std::string& name : c.fixture.dirs) EXPECT_TRUE(fs::is_directory(dir.path() / name)) << name;
  for (const auto& [name, target] : c.fixture.symlinks)
    EXPECT_TRUE(fs::is_symlink(dir.path() / name)) << name;
  for (const std::string& name : c.absent) EXPECT_FALSE(dir.Exists(name)) << name;
  EXPECT_EQ(NewTemporaryFiles(dir.path(), c), std::vector<std::string>());
}

// The preview reads an animation as flipdeck converts it, so it fails
// exactly where a conversion of the same files from the same directory
// fails. The conversion writes its C far from the case's files, so that
// only the animation decides.
// Where there is nothing to compare (no flipdeck-kit in the build, a case
// of another system or of the command line alone) it returns without a
// skip: ctest reads a skip as the whole case's, the conversion's included.
TEST_P(Run, PreviewFailsWhereTheConversionFails) {
  Case c = ParseCase(GetParam());
  if (!ts::HaveFlipdeckKit()) return;
  if (!OfThisSystem(c)) return;
  ts::TempDir dir;
  LayOut(c, dir);
  const std::string anime = AnimeArgument(c.args);
  if (anime.empty()) return;

  const ts::TempDir outputs;
  const ts::ProcessResult converted =
      ts::RunFlipdeck({"-o" + outputs.Path("out.c"), anime}, dir.Path(c.cwd));
  const ts::ProcessResult previewed =
      ts::RunFlipdeckKit({"preview", anime, "-o", outputs.Path("page.html")}, dir.Path(c.cwd));
  EXPECT_EQ(previewed.exitStatus, converted.exitStatus == 0 ? 0 : 1)
      << "flipdeck:\n"
      << converted.out << converted.err << "preview:\n"
      << previewed.err;
  EXPECT_EQ(outputs.Exists("page.html"), previewed.exitStatus == 0);
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& [name, text] : Catalogue()) names.push_back(name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Run, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
