#include "support/case_file.h"

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "path/process.h"
#include "support/fixture_builder.h"
#include "support/test_support.h"

namespace testing_support {

namespace {

namespace fs = std::filesystem;

const fs::path kSource = FLIPDECK_SOURCE_DIR;

struct SourceLine {
  std::string text, where;
};
using Lines = std::vector<SourceLine>;

Lines ReadLines(const fs::path& file, std::vector<std::string>& faults) {
  std::ifstream in(file);
  if (!in) faults.push_back(file.string() + ": cannot be read");
  Lines lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back({line, file.filename().string() + ":" + std::to_string(lines.size() + 1)});
  return lines;
}

// The directive of `line`, block not yet read; how its block is written
// comes off the end of its words: "text walk.taf crlf noeol".
struct Line {
  Directive d;
  bool block = false, crlf = false, noeol = false;
  std::string golden;  // under tests/, read instead of lines
};

Line Split(const SourceLine& source) {
  static const std::set<std::string> blockVerbs = {"text",   "append", "stdout", "stderr",
                                                   "output", "lines",  "expect"};
  static const std::regex option(R"((^|\s+)(crlf|noeol|golden\s+(\S+))\s*$)");
  Line l;
  std::istringstream words(source.text);
  words >> l.d.verb;
  std::getline(words >> std::ws, l.d.rest);
  l.d.where = source.where;
  l.block = blockVerbs.count(l.d.verb) != 0;
  for (std::smatch m; l.block && std::regex_search(l.d.rest, m, option);) {
    if (m[2] == "crlf")
      l.crlf = true;
    else if (m[2] == "noeol")
      l.noeol = true;
    else
      l.golden = m[3];
    l.d.rest.resize(static_cast<size_t>(m.position(0)));
  }
  l.block = l.block && l.golden.empty();
  return l;
}

// The index after the directive at `at`: past its block, if it has one.
size_t After(const Lines& lines, size_t at) {
  if (!Split(lines[at]).block) return at + 1;
  while (++at < lines.size() && lines[at].text != ".") {
  }
  return std::min(at + 1, lines.size());
}

// The directives of `lines` into `c`, each include replaced by its file's.
void ReadDirectives(const Lines& lines, const fs::path& dir, int depth, CaseText& c) {
  for (size_t at = 0, next = 0; at < lines.size(); at = next) {
    next = After(lines, at);
    Line l = Split(lines[at]);
    if (l.d.verb.empty() || l.d.verb[0] == '#') continue;
    if (l.d.verb == "include") {
      if (depth > 8)
        c.faults.push_back(l.d.where + ": includes nest too deep");
      else
        ReadDirectives(ReadLines(dir / (l.d.rest + ".inc"), c.faults), dir, depth + 1, c);
      continue;
    }
    if (!l.golden.empty()) {
      l.d.block = ReadFileBytes((kSource / "tests" / l.golden).string());
      if (l.d.block.empty()) c.faults.push_back(l.d.where + ": no golden file " + l.golden);
    }
    const std::string end = l.crlf ? "\r\n" : "\n";
    for (size_t i = at + 1; l.block && i < next && lines[i].text != "."; ++i)
      l.d.block += Unescape(lines[i].text) + end;
    if (l.block && lines[next - 1].text != ".")
      c.faults.push_back(l.d.where + ": block without its closing \".\"");
    if (l.noeol && !l.d.block.empty()) l.d.block.resize(l.d.block.size() - end.size());
    c.directives.push_back(std::move(l.d));
  }
}

std::string Trimmed(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? ""
                                    : text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// The case of the entry at `entry` ("case NAME" or "row NAME | a | b"): the
// base, each hole "@N@" holding the row's N-th value, then the entry's lines.
CaseText ReadEntry(const Lines& lines, size_t baseEnd, size_t entry, size_t end,
                   const fs::path& dir) {
  const Line header = Split(lines[entry]);
  std::vector<std::string> values;
  std::istringstream cells(header.d.rest + " ");  // so that a last empty value counts
  for (std::string cell; std::getline(cells, cell, '|');) values.push_back(Trimmed(cell));
  CaseText c{values.front(), header.d.where, {}, {}};
  values.erase(values.begin());
  if (c.name.empty() || c.name.find_first_of(" \t") != std::string::npos ||
      (header.d.verb == "case" && !values.empty()))
    c.faults.push_back(c.where + ": an entry is `case NAME` or `row NAME | value | ...`");

  static const std::regex hole("@([0-9]+)@");
  size_t highest = 0;
  Lines text;
  for (size_t i = 0; i < baseEnd; ++i) {
    std::string filled;
    std::smatch m;
    for (std::string rest = lines[i].text;; rest = m.suffix()) {
      if (!std::regex_search(rest, m, hole)) {
        text.push_back({filled + rest, lines[i].where});
        break;
      }
      const size_t n = std::stoul(m[1]);
      highest = std::max(highest, n);
      if (n == 0 || n > values.size())
        c.faults.push_back(lines[i].where + ": no value for the hole " + m.str());
      filled += m.prefix().str() + (n == 0 || n > values.size() ? m.str() : values[n - 1]);
    }
  }
  if (highest < values.size())
    c.faults.push_back(c.where + ": " + std::to_string(values.size()) +
                       " values, but the base's last hole is @" + std::to_string(highest) + "@");
  text.insert(text.end(), lines.begin() + static_cast<std::ptrdiff_t>(entry + 1),
              lines.begin() + static_cast<std::ptrdiff_t>(end));
  ReadDirectives(text, dir, 0, c);
  return c;
}

void AddExample(const std::string& name, CaseFixture& fixture) {
  for (const auto& entry : fs::directory_iterator(kSource / "examples" / name)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".taf" || ext == ".tpf" || ext == ".tmf" || ext == ".tlf" || ext == ".png")
      fixture.files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
  }
}

}  // namespace

std::vector<CaseText> ReadCases(const fs::path& file) {
  std::vector<std::string> faults;
  const Lines lines = ReadLines(file, faults);
  std::vector<size_t> entries;
  for (size_t at = 0; at < lines.size(); at = After(lines, at)) {
    const std::string verb = Split(lines[at]).d.verb;
    if (verb == "case" || verb == "row") entries.push_back(at);
  }
  if (entries.empty()) {
    CaseText c{file.stem().string(), file.filename().string(), {}, faults};
    ReadDirectives(lines, file.parent_path(), 0, c);
    return {c};
  }
  std::vector<CaseText> cases;
  for (size_t k = 0; k < entries.size(); ++k) {
    const size_t end = k + 1 < entries.size() ? entries[k + 1] : lines.size();
    cases.push_back(ReadEntry(lines, entries.front(), entries[k], end, file.parent_path()));
  }
  return cases;
}

bool ReadFixtureDirective(const Directive& d, CaseFixture& fixture,
                          std::vector<std::string>& faults) {
  static const std::set<std::string> verbs = {"text", "append",  "tmf",      "tlf",   "example",
                                              "dir",  "symlink", "hardlink", "remove"};
  if (verbs.count(d.verb) == 0) return false;
  std::istringstream words(d.rest);
  std::string name;
  std::string more;  // a link's target, an image's or a palette's fields
  words >> name;
  std::getline(words >> std::ws, more);
  // A file of the test process itself, which runs all along the case.
  if (const size_t at = name.find("@PID@"); at != std::string::npos)
    name.replace(at, 5, std::to_string(CurrentProcessId()));
  const bool link = d.verb == "symlink" || d.verb == "hardlink";
  const bool fields = d.verb == "tmf" || d.verb == "tlf";
  std::string fault;
  if (name.empty() || (link && (more.empty() || more.find(' ') != std::string::npos)) ||
      (!link && !fields && !more.empty()))
    fault = d.verb + (link ? " takes a name and a target" : " takes a name");
  else if (d.verb == "text")
    fixture.files[name] = d.block;
  else if (d.verb == "append" && fixture.files.count(name) != 0)
    fixture.files[name] += d.block;
  else if (d.verb == "append")
    fault = "no file " + name + " to append to";
  else if (d.verb == "tmf")
    MakeTmfFixture(more, fixture.files[name], fault);
  else if (d.verb == "tlf")
    MakeTlfFixture(more, fixture.files[name], fault);
  else if (d.verb == "example")
    AddExample(name, fixture);
  else if (d.verb == "dir")
    fixture.dirs.push_back(name);
  else if (link)
    (d.verb == "symlink" ? fixture.symlinks : fixture.hardLinks)[name] = more;
  else if (fixture.files.erase(name) == 0)
    fault = "no file " + name + " to remove";
  if (!fault.empty()) faults.push_back(d.where + ": " + fault);
  return true;
}

std::vector<std::string> ReadArguments(const std::string& rest) {
  std::vector<std::string> args;
  std::istringstream words(rest);
  for (std::string word; words >> word;) args.push_back(word == "\"\"" ? "" : Unescape(word));
  return args;
}

void LayOut(const CaseFixture& fixture, const TempDir& dir) {
  for (const std::string& name : fixture.dirs) fs::create_directories(dir.path() / name);
  for (const auto& [name, bytes] : fixture.files) dir.Write(name, bytes);
  for (const auto& [name, target] : fixture.symlinks) fs::create_symlink(target, dir.path() / name);
  for (const auto& [name, target] : fixture.hardLinks)
    fs::create_hard_link(dir.path() / target, dir.path() / name);
}

}  // namespace testing_support
