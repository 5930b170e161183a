// The path utilities over disks in memory; the project tests use the real one.
#include "path/path_utils.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "path/path_host.h"

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

TEST(PathUtils, LexicalFullPath) {
  EXPECT_EQ(Full("a\\..\\b\\.\\\\c/", kPosix), "/work/b/c/");
  EXPECT_EQ(Full("/../x", kPosix), "/x");
  EXPECT_EQ(Full("..\\x", kWin), "C:\\x");
  EXPECT_EQ(Full("D:x", kWin), "D:\\x");
  EXPECT_EQ(Full("\\a", kWin), "C:\\a");
  EXPECT_EQ(Full("\\\\srv\\share\\a\\..\\..\\b", kWin), "\\\\srv\\share\\b");
}

TEST(PathUtils, NormalizeSplitAndSearch) {
  const PathHost win =
      Disk(kWin, {"", "C:\\", "tex\\sub", "x", "x\\a.tmf", "y"}, {"w.tmf", "y\\a.tmf"});
  EXPECT_EQ(Normalized("w.tmf", win), "<false>w.tmf");
  EXPECT_EQ(Normalized("tex/sub/", win), "tex\\sub");
  EXPECT_EQ(Normalized("", win), ".");
  EXPECT_EQ(Normalized("C:\\", win), "C:");
  EXPECT_EQ(Split("C:\\", win), "C:|");
  EXPECT_EQ(Split(std::string(300, 'a'), win), "<false>|");
  EXPECT_EQ(Search("x;y", "a.tmf", win), "C:\\work\\y\\a.tmf");
  EXPECT_EQ(Search("", "C:w.tmf", win), "C:\\work\\w.tmf");
  EXPECT_EQ(Search("missing;y", "new.tmf", win), "<false><unset>");
  // A stray ";" must not add the working directory to the places searched.
  EXPECT_EQ(Search("x;;y", "w.tmf", win), "<false><unset>");

  // On POSIX the root keeps its separator: "" would be the working directory.
  const PathHost posix = Disk(kPosix, {"/"});
  EXPECT_EQ(Normalized("/.", posix), "/");
  EXPECT_EQ(Split("/a.tpf", posix), "/|a.tpf");
}

}  // namespace
