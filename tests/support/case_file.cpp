#include "support/case_file.h"

#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

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

std::vector<SourceLine> ReadLines(const fs::path& file, std::vector<std::string>& faults) {
  std::ifstream in(file);
  if (!in) faults.push_back(file.string() + ": cannot be read");
  std::vector<SourceLine> lines;
  int number = 0;
  for (std::string line; std::getline(in, line);)
    lines.push_back({line, file.filename().string() + ":" + std::to_string(++number)});
  return lines;
}

// The first word of `line` and what follows it, blanks around it taken off.
std::pair<std::string, std::string> SplitVerb(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  const size_t end = std::min(line.find_first_of(" \t", start), line.size());
  const size_t rest = std::min(line.find_first_not_of(" \t", end), line.size());
  return {line.substr(start, end - start), line.substr(rest)};
}

bool TakesBlock(const std::string& verb) {
  static const std::set<std::string> verbs = {"text",   "stdout", "stderr",
                                              "output", "lines",  "expect"};
  return verbs.count(verb) != 0;
}

// How a block is written, from the words that end its directive's line.
struct BlockOptions {
  bool crlf = false, noeol = false;
  std::string golden;  // under tests/, read instead of lines
};

// Takes the options off the end of `rest`: "walk.taf crlf noeol" leaves
// "walk.taf". Only trailing words count, so a `lines` prefix may hold any.
BlockOptions TakeBlockOptions(std::string& rest) {
  BlockOptions options;
  std::vector<std::string> words;
  std::istringstream in(rest);
  for (std::string word; in >> word;) words.push_back(word);
  size_t kept = words.size();
  for (bool more = true; more && kept > 0;) {
    more = false;
    if (words[kept - 1] == "crlf" || words[kept - 1] == "noeol") {
      (words[kept - 1] == "crlf" ? options.crlf : options.noeol) = true;
      --kept;
      more = true;
    } else if (kept >= 2 && words[kept - 2] == "golden") {
      options.golden = words[kept - 1];
      kept -= 2;
      more = true;
    }
  }
  size_t end = 0;
  for (size_t i = 0; i < kept; ++i) end = rest.find(words[i], end) + words[i].size();
  rest.resize(kept == 0 ? 0 : end);
  return options;
}

// The index after the directive at `at`: past its block, if it has one.
size_t After(const std::vector<SourceLine>& lines, size_t at) {
  auto [verb, rest] = SplitVerb(lines[at].text);
  if (!TakesBlock(verb) || !TakeBlockOptions(rest).golden.empty()) return at + 1;
  for (++at; at < lines.size(); ++at)
    if (lines[at].text == ".") return at + 1;
  return at;
}

// The directives of `lines`, each include replaced by its file's.
void ReadDirectives(const std::vector<SourceLine>& lines, const fs::path& dir, int depth,
                    CaseText& c) {
  for (size_t at = 0; at < lines.size(); at = After(lines, at)) {
    Directive d;
    std::tie(d.verb, d.rest) = SplitVerb(lines[at].text);
    d.where = lines[at].where;
    if (d.verb.empty() || d.verb[0] == '#') continue;
    if (d.verb == "include") {
      if (depth > 8) {
        c.faults.push_back(d.where + ": includes nest too deep");
        continue;
      }
      ReadDirectives(ReadLines(dir / (d.rest + ".inc"), c.faults), dir, depth + 1, c);
      continue;
    }
    if (TakesBlock(d.verb)) {
      const BlockOptions options = TakeBlockOptions(d.rest);
      if (!options.golden.empty()) {
        std::ifstream golden(kSource / "tests" / options.golden, std::ios::binary);
        if (!golden) c.faults.push_back(d.where + ": no golden file " + options.golden);
        d.block.assign(std::istreambuf_iterator<char>(golden), {});
      } else {
        const std::string end = options.crlf ? "\r\n" : "\n";
        size_t i = at + 1;
        for (; i < lines.size() && lines[i].text != "."; ++i) d.block += Unescape(lines[i].text) + end;
        if (i == lines.size()) c.faults.push_back(d.where + ": block without its closing \".\"");
        if (options.noeol && !d.block.empty()) d.block.resize(d.block.size() - end.size());
      }
    }
    c.directives.push_back(std::move(d));
  }
}

// `line` with each hole "@N@" holding the N-th of `values`; the highest N
// seen goes to `highest`.
std::string FillHoles(std::string line, const std::vector<std::string>& values, size_t& highest,
                      std::vector<std::string>& faults, const std::string& where) {
  size_t from = 0;
  for (size_t at; (at = line.find('@', from)) != std::string::npos;) {
    from = at + 1;
    const size_t close = line.find_first_not_of("0123456789", at + 1);
    if (close == at + 1 || close == std::string::npos || line[close] != '@') continue;
    const size_t n = std::stoul(line.substr(at + 1, close - at - 1));
    highest = std::max(highest, n);
    if (n == 0 || n > values.size()) {
      faults.push_back(where + ": no value for the hole " + line.substr(at, close - at + 1));
      continue;
    }
    line.replace(at, close - at + 1, values[n - 1]);
    from = at + values[n - 1].size();
  }
  return line;
}

std::string Trimmed(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// The case of the entry at `entry` ("case NAME" or "row NAME | a | b"): the
// base with the row's values in its holes, then the entry's own lines.
CaseText ReadEntry(const std::vector<SourceLine>& lines, size_t baseEnd, size_t entry, size_t end,
                   const fs::path& dir) {
  CaseText c;
  c.where = lines[entry].where;
  const auto [verb, rest] = SplitVerb(lines[entry].text);
  std::vector<std::string> values;
  std::istringstream cells(rest);
  for (std::string cell; std::getline(cells, cell, '|');) values.push_back(Trimmed(cell));
  if (verb == "row" && !rest.empty() && rest.back() == '|') values.push_back("");
  c.name = values.empty() ? "" : values.front();
  if (!values.empty()) values.erase(values.begin());
  if (c.name.empty() || c.name.find_first_of(" \t") != std::string::npos ||
      (verb == "case" && !values.empty()))
    c.faults.push_back(c.where + ": an entry is `case NAME` or `row NAME | value | ...`");

  std::vector<SourceLine> text;
  size_t highest = 0;
  for (size_t i = 0; i < baseEnd; ++i)
    text.push_back({FillHoles(lines[i].text, values, highest, c.faults, lines[i].where),
                    lines[i].where});
  if (highest < values.size())
    c.faults.push_back(c.where + ": " + std::to_string(values.size()) +
                       " values, but the base's last hole is @" + std::to_string(highest) + "@");
  text.insert(text.end(), lines.begin() + static_cast<std::ptrdiff_t>(entry + 1),
              lines.begin() + static_cast<std::ptrdiff_t>(end));
  ReadDirectives(text, dir, 0, c);
  return c;
}

std::string FixtureName(std::string name) {
  // A file of the test process itself, which runs all along a run.
  const std::string marker = "@PID@";
  if (const size_t at = name.find(marker); at != std::string::npos)
    name.replace(at, marker.size(), std::to_string(CurrentProcessId()));
  return name;
}

void AddExample(const std::string& name, CaseFixture& fixture) {
  for (const auto& entry : fs::directory_iterator(kSource / "examples" / name)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".taf" || ext == ".tpf" || ext == ".tmf" || ext == ".tlf")
      fixture.files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
  }
}

bool Remove(const std::string& name, CaseFixture& fixture) {
  const size_t before = fixture.files.size() + fixture.dirs.size() + fixture.symlinks.size() +
                        fixture.hardLinks.size();
  fixture.files.erase(name);
  fixture.symlinks.erase(name);
  fixture.hardLinks.erase(name);
  std::erase(fixture.dirs, name);
  return before != fixture.files.size() + fixture.dirs.size() + fixture.symlinks.size() +
                       fixture.hardLinks.size();
}

}  // namespace

std::vector<CaseText> ReadCases(const fs::path& file) {
  std::vector<std::string> faults;
  const std::vector<SourceLine> lines = ReadLines(file, faults);
  std::vector<size_t> entries;
  for (size_t at = 0; at < lines.size(); at = After(lines, at)) {
    const std::string verb = SplitVerb(lines[at].text).first;
    if (verb == "case" || verb == "row") entries.push_back(at);
  }
  std::vector<CaseText> cases;
  if (entries.empty()) {
    cases.push_back({file.stem().string(), file.filename().string(), {}, faults});
    ReadDirectives(lines, file.parent_path(), 0, cases.back());
    return cases;
  }
  for (size_t k = 0; k < entries.size(); ++k) {
    const size_t end = k + 1 < entries.size() ? entries[k + 1] : lines.size();
    cases.push_back(ReadEntry(lines, entries.front(), entries[k], end, file.parent_path()));
  }
  return cases;
}

bool ReadFixtureDirective(const Directive& d, CaseFixture& fixture,
                          std::vector<std::string>& faults) {
  static const std::set<std::string> verbs = {"text",    "tmf",      "tlf",    "example",
                                              "dir",     "symlink",  "hardlink", "remove"};
  if (verbs.count(d.verb) == 0) return false;
  std::istringstream words(d.rest);
  std::string name;
  std::string more;
  words >> name;
  name = FixtureName(name);
  std::getline(words >> std::ws, more);
  // Links name a target after their name, images and palettes fields; the
  // rest take the name alone.
  const bool link = d.verb == "symlink" || d.verb == "hardlink";
  bool wellFormed = !name.empty();
  if (link)
    wellFormed = wellFormed && !more.empty() && more.find_first_of(" \t") == std::string::npos;
  else if (d.verb != "tmf" && d.verb != "tlf")
    wellFormed = wellFormed && more.empty();
  if (!wellFormed) {
    faults.push_back(d.where + ": " + d.verb + (link ? " takes a name and a target" : " takes a name"));
    return true;
  }
  std::string fault;
  if (d.verb == "text") {
    fixture.files[name] = d.block;
  } else if (d.verb == "tmf" && !MakeTmfFixture(more, fixture.files[name], fault)) {
    faults.push_back(d.where + ": " + fault);
  } else if (d.verb == "tlf" && !MakeTlfFixture(more, fixture.files[name], fault)) {
    faults.push_back(d.where + ": " + fault);
  } else if (d.verb == "example") {
    AddExample(name, fixture);
  } else if (d.verb == "dir") {
    fixture.dirs.push_back(name);
  } else if (link) {
    (d.verb == "symlink" ? fixture.symlinks : fixture.hardLinks)[name] = more;
  } else if (d.verb == "remove" && !Remove(name, fixture)) {
    faults.push_back(d.where + ": nothing named " + name + " to remove");
  }
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
