// The run catalogue: each file under cases/ describes one run of the built
// flipdeck, its files, and the exit status, console text and outputs it must
// give; no input of a run may change. The format is in cases/README.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "path/process.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"
#include "texture/texture_format.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

const fs::path kTests = fs::path(FLIPDECK_SOURCE_DIR) / "tests";
const fs::path kCases = kTests / "runs/cases";

// Lines of an output that begin with `prefix`, which must read `text`.
struct Lines {
  std::string output, prefix, text;
};

struct Case {
  std::vector<std::string> args, dirs, absent, only;
  std::map<std::string, std::string> files;
  std::map<std::string, fs::path> links, hardLinks;
  std::map<std::string, std::string> outputs;  // "stdout", "stderr" or a file: the whole text
  std::vector<Lines> lines;
  std::string stdoutFile;  // standard output goes there instead
  std::string cwd;         // the working directory, inside the run's directory
  int exit = -1;
};

std::string TmfFile(std::istream& words) {
  ts::FixtureFields f = ts::ReadFixtureFields(words, {{"tag", kTmfTag8Bit}, {"w", 4}, {"h", 2}});
  f.try_emplace("bits", f["tag"] == kTmfTag4Bit ? 4 : 8);
  f.try_emplace("body", (f["w"] * f["bits"] / 8 * f["h"] + 3) / 4 * 4);
  const TmfHeader header{static_cast<uint32_t>(f["tag"]), static_cast<int32_t>(f["w"]),
                         static_cast<int32_t>(f["h"]), static_cast<int32_t>(f["bits"])};
  return ts::AddFixtureBody(EncodeTmfFile(header, ""), f);
}

std::string TlfFile(std::istream& words) {
  ts::FixtureFields f =
      ts::ReadFixtureFields(words, {{"tag", kTlfTag16}, {"count", 16}, {"type", 0}, {"body", 32}});
  const TlfHeader header{static_cast<uint32_t>(f["tag"]), static_cast<int32_t>(f["count"]),
                         static_cast<uint32_t>(f["type"])};
  return ts::AddFixtureBody(EncodeTlfFile(header, ""), f);
}

// The inputs of an example as they stand in the source tree.
void AddExample(const std::string& name, Case& c) {
  for (const auto& entry : fs::directory_iterator(kTests / "../examples" / name)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".taf" || ext == ".tpf" || ext == ".tmf" || ext == ".tlf")
      c.files[entry.path().filename().string()] = ts::ReadFileBytes(entry.path().string());
  }
}

// `name` with "@PID@" standing for this test's process, which runs while
// flipdeck does: the writer of a temporary file that must be left alone.
std::string WithOwnPid(std::string name) {
  const std::string marker = "@PID@";
  if (const size_t at = name.find(marker); at != std::string::npos)
    name.replace(at, marker.size(), std::to_string(CurrentProcessId()));
  return name;
}

// The hidden temporary files under `dir` that the case did not write: a run
// must take its own with it, however it ends.
std::vector<std::string> NewTemporaryFiles(const fs::path& dir, const Case& c) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const std::string relative = entry.path().lexically_relative(dir).generic_string();
    if (name.starts_with(".") && name.ends_with(".tmp") && c.files.count(relative) == 0)
      found.push_back(relative);
  }
  return found;
}

void ParseCase(const fs::path& file, Case& c) {
  std::ifstream in(file);
  ASSERT_TRUE(in) << file;
  std::string line;
  // A block of lines up to a lone ".", or the golden file its options name.
  auto block = [&](std::istream& options) {
    std::string rest, text;
    std::getline(options, rest);
    std::istringstream words(rest);
    std::string option, path;
    if (words >> option && option == "golden" && words >> path)
      return ts::ReadFileBytes((kTests / path).string());
    const std::string end = rest.find("crlf") != std::string::npos ? "\r\n" : "\n";
    while (std::getline(in, line) && line != ".") text += ts::Unescape(line) + end;
    if (rest.find("noeol") != std::string::npos) text.resize(text.size() - end.size());
    return text;
  };
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string verb, name, target;
    words >> verb;
    if (verb.empty() || verb[0] == '#') continue;
    if (verb == "stdout" || verb == "stderr") {
      c.outputs[verb] = block(words);
    } else if (verb == "args") {
      c.args.clear();  // a case's own command line replaces an included one
      while (words >> name) c.args.push_back(name == "\"\"" ? "" : ts::Unescape(name));
    } else if (!(words >> name)) {
      ADD_FAILURE() << file << ": " << verb << " without its value";
    } else if (name = WithOwnPid(name); verb == "exit") {
      c.exit = std::stoi(name);
    } else if (verb == "include") {
      ParseCase(kCases / (name + ".inc"), c);
    } else if (verb == "only") {
      c.only.push_back(name);
    } else if (verb == "dir") {
      c.dirs.push_back(name);
    } else if (verb == "cwd") {
      c.cwd = name;
    } else if (verb == "example") {
      AddExample(name, c);
    } else if (verb == "text") {
      c.files[name] = block(words);
    } else if (verb == "tmf") {
      c.files[name] = TmfFile(words);
    } else if (verb == "tlf") {
      c.files[name] = TlfFile(words);
    } else if ((verb == "symlink" || verb == "hardlink") && words >> target) {
      (verb == "symlink" ? c.links : c.hardLinks)[name] = target;
    } else if (verb == "output") {
      c.outputs[name] = block(words);
    } else if (verb == "lines" && std::getline(words >> std::ws, target)) {
      std::istringstream noOptions;
      c.lines.push_back({name, target, block(noOptions)});
    } else if (verb == "stdout-to") {
      c.stdoutFile = name;
    } else if (verb == "absent") {
      c.absent.push_back(name);
    } else {
      ADD_FAILURE() << file << ": unknown directive " << verb;
    }
  }
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

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Writes the case's files, directories and links into `dir`, and puts the
// directory into its arguments.
void LayOut(Case& c, const ts::TempDir& dir) {
  for (const std::string& name : c.dirs) fs::create_directories(dir.path() / name);
  for (const auto& [name, bytes] : c.files) dir.Write(name, bytes);
  for (const auto& [name, target] : c.links) fs::create_symlink(target, dir.path() / name);
  for (const auto& [name, target] : c.hardLinks)
    fs::create_hard_link(dir.path() / target, dir.path() / name);
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
  Case c;
  ParseCase(kCases / (GetParam() + ".case"), c);
  if (!c.only.empty() && !Contains(c.only, ts::kSeparator == '/' ? "posix" : "win32"))
    GTEST_SKIP() << "a run of another system's rules";

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
  for (const auto& [name, bytes] : c.files) {
    if (c.outputs.count(name) != 0 || Contains(c.absent, name)) continue;
    EXPECT_EQ(dir.Exists(name) ? dir.Read(name) : "<gone>", bytes) << name;
  }
  for (const std::string& name : c.dirs) EXPECT_TRUE(fs::is_directory(dir.path() / name)) << name;
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
  Case c;
  ParseCase(kCases / (GetParam() + ".case"), c);
  if (!ts::HaveFlipdeckKit()) return;
  if (!c.only.empty() && !Contains(c.only, ts::kSeparator == '/' ? "posix" : "win32")) return;
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
  for (const auto& entry : fs::directory_iterator(kCases)) {
    if (entry.path().extension() == ".case") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Run, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
