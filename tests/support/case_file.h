// The case files of the run catalogue and of the kit's tables: one grammar
// of directives for the files a case lays out, whatever the case then does
// with them. The grammar is in cases.md.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

class TempDir;

/// One directive of a case: its verb, the words after it (block options
/// taken off), the block that follows it, and where it stands ("walk.inc:3").
struct Directive {
  std::string verb, rest, block, where;
};

/// One case of a file: its name and its directives, includes read in place
/// and, for a row, the row's values in the holes of its table's base.
/// Faults are what made the file unreadable there; the test reports them.
struct CaseText {
  std::string name, where;
  std::vector<Directive> directives;
  std::vector<std::string> faults;
};

/// The cases of `file`: one named by the file's stem, or, once a `case` or
/// `row` line stands in it, one for each such entry.
std::vector<CaseText> ReadCases(const std::filesystem::path& file);

/// The files a case writes into its directory before anything runs.
struct CaseFixture {
  std::map<std::string, std::string> files;  // name -> bytes
  std::vector<std::string> dirs;
  std::map<std::string, std::string> symlinks, hardLinks;  // name -> target
};

/// Applies `d` to `fixture` when it is one of the directives every case
/// language shares (text, append, tmf, tlf, example, dir, symlink,
/// hardlink, remove); false for any other verb. A malformed one adds to `faults`.
bool ReadFixtureDirective(const Directive& d, CaseFixture& fixture,
                          std::vector<std::string>& faults);

/// The words of `rest` as arguments: `""` is the empty one, `\x{HH}` a byte.
std::vector<std::string> ReadArguments(const std::string& rest);

/// Writes the fixture into `dir`: directories first, links last.
void LayOut(const CaseFixture& fixture, const TempDir& dir);

}  // namespace testing_support
