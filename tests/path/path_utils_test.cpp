// The path utilities over disks in memory; the project tests use the real one.
#include "path/path_utils.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "path/path_host.h"
#include "support/case_file.h"
#include "support/test_support.h"

namespace {

constexpr PathStyle kWin = PathStyle::Windows;
constexpr PathStyle kPosix = PathStyle::Posix;

// The full path against C:\work or /work; "" when it passes 259 characters.
std::string Full(const std::string& path, PathStyle style) {
  std::string full = LexicalFullPath(path, style == kWin ? "C:\\work" : "/work", style);
  return full.size() > 259 ? "" : full;
}

// A disk holding `dirs` and `files`, named relative to its working directory.
PathHost Disk(PathStyle style, const std::vector<std::string>& dirs,
              const std::vector<std::string>& files = {}) {
  std::map<std::string, bool> isDir;
  for (const std::string& dir : dirs) isDir[Full(dir, style)] = true;
  for (const std::string& file : files) isDir[Full(file, style)] = false;
  const auto fullPath = [style](const std::string& path, std::string& full) {
    full = Full(path, style);
    return !full.empty();
  };
  const auto fileStatus = [style, isDir](const std::string& path) {
    const auto entry = isDir.find(Full(path, style));
    return entry == isDir.end() ? FileStatus{} : FileStatus{true, entry->second};
  };
  return PathHost{style, fullPath, fileStatus};
}

// Results at a glance: "<false>" marks a false result, "|" parts dir and name.
std::string Normalized(std::string path, const PathHost& host) {
  return (NormalizeDirectory(path, host) ? "" : "<false>") + path;
}
std::string Split(const std::string& path, const PathHost& host) {
  std::string dir = "?";
  std::string name = "?";
  return (SplitPath(path, dir, name, host) ? "" : "<false>") + dir + "|" + name;
}
std::string Search(const std::string& list, const std::string& name, const PathHost& host) {
  std::string found = "<unset>";
  return (SearchFile(found, list, name, host) ? "" : "<false>") + found;
}

// Each row of path/path_rules.table asks one rule of one of two disks.
TEST(PathUtils, RulesOnDisksOfBothStyles) {
  const PathHost win =
      Disk(kWin, {"", "C:\\", "tex\\sub", "x", "x\\a.tmf", "y"}, {"w.tmf", "y\\a.tmf"});
  const PathHost posix = Disk(kPosix, {"/"});
  for (const auto& row : testing_support::ReadTable("path/path_rules.table")) {
    const std::vector<std::string> words = testing_support::ReadArguments(row.input);
    const PathHost& host = words[0] == "win" ? win : posix;
    std::string result = "unknown rule";
    if (words[1] == "full") result = Full(words[2], host.style);
    if (words[1] == "normalize") result = Normalized(words[2], host);
    if (words[1] == "split") result = Split(words[2], host);
    if (words[1] == "search") result = Search(words[2], words[3], host);
    EXPECT_EQ(result, row.expected) << row.where;
  }
}

}  // namespace
