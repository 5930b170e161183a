// The path utilities: the Windows rules TAF and TPF files were written for,
// over a fake disk, and the POSIX rules on the running system.
#include "path/path_utils.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "path/path_host.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Results at a glance: "<false>" marks a false result, "|" parts dir and name.
std::string Normalized(std::string path, const PathHost& host = HostPaths()) {
  return (NormalizeDirectory(path, host) ? "" : "<false>") + path;
}
std::string FullPath(std::string path, const PathHost& host = HostPaths()) {
  return (MakeFullPath(path, host) ? "" : "<false>") + path;
}
std::string Split(const std::string& path, const PathHost& host = HostPaths()) {
  std::string dir = "?";
  std::string name = "?";
  return (SplitPath(path, dir, name, host) ? "" : "<false>") + dir + "|" + name;
}
std::string Search(const std::string& list, const std::string& name, bool mustExist,
                   const PathHost& host = HostPaths()) {
  std::string found = "<unset>";
  return (SearchFile(found, list, name, mustExist, host) ? "" : "<false>") + found;
}

std::string WinFull(const std::string& path) {
  return LexicalFullPath(path, "C:\\work", PathStyle::Windows);
}

// A Windows disk with C:\work as working directory, entries named relative
// to it. Full paths as GetFullPathNameA forms them, at most 259 characters;
// every status question is logged in full-path form.
struct FakeWindowsDisk {
  FakeWindowsDisk(const std::vector<std::string>& dirs, const std::vector<std::string>& files) {
    for (const std::string& dir : dirs) entries[WinFull(dir)] = true;
    for (const std::string& file : files) entries[WinFull(file)] = false;
    host.style = PathStyle::Windows;
    host.fullPath = [](const std::string& path, std::string& full) {
      full = WinFull(path);
      if (full.size() > 259) full.clear();
      return !full.empty();
    };
    host.fileStatus = [this](const std::string& path) {
      std::string full = WinFull(path);
      if (full.size() > 3 && full.back() == '\\') full.pop_back();
      asked.push_back(full);
      const auto entry = entries.find(full);
      return entry == entries.end() ? FileStatus{} : FileStatus{true, entry->second};
    };
  }
  FakeWindowsDisk(const FakeWindowsDisk&) = delete;  // the host points back here
  std::map<std::string, bool> entries;               // full path -> is a directory
  std::vector<std::string> asked;
  PathHost host;
};

TEST(WindowsPaths, FullPathAndNormalizeDirectory) {
  EXPECT_EQ(WinFull("..\\x"), "C:\\x");
  EXPECT_EQ(WinFull("D:x"), "D:\\x");
  EXPECT_EQ(WinFull("\\\\srv\\share\\a\\..\\..\\b"), "\\\\srv\\share\\b");

  FakeWindowsDisk disk({"", "tex\\sub", "C:\\", "a"}, {"file.tmf"});
  for (const char* same : {"missing", "texx", "file.tmf"})
    EXPECT_EQ(Normalized(same, disk.host), std::string("<false>") + same);
  EXPECT_EQ(Normalized("tex/sub/", disk.host), "tex\\sub");
  EXPECT_EQ(Normalized("tex\\sub\\.", disk.host), "tex\\sub");
  EXPECT_EQ(Normalized("\\", disk.host), ".");
  EXPECT_EQ(Normalized("C:\\", disk.host), "C:");
  EXPECT_EQ(Normalized("", disk.host), ".");
  EXPECT_EQ(Normalized("a\\\\", disk.host), "a\\");
}

TEST(WindowsPaths, SplitPath) {
  FakeWindowsDisk disk({}, {});
  EXPECT_EQ(Split("C:\\a\\b.tpf", disk.host), "C:\\a|b.tpf");
  EXPECT_EQ(Split("C:\\", disk.host), "C:|");
  EXPECT_EQ(Split("a.tpf", disk.host), "C:\\work|a.tpf");
  EXPECT_EQ(Split("", disk.host), "C:|work");
  EXPECT_EQ(Split(std::string(300, 'a'), disk.host), "<false>|");
}

TEST(WindowsPaths, SearchFile) {
  FakeWindowsDisk disk({"", "x", "x\\a.tmf", "y", "D:\\pics"},
                       {"y\\a.tmf", "D:\\pics\\b.tmf", "C:b.tmf"});
  EXPECT_EQ(Search("x;y", "a.tmf", true, disk.host), "C:\\work\\y\\a.tmf");
  EXPECT_EQ(Search("", "D:\\pics\\b.tmf", true, disk.host), "D:\\pics\\b.tmf");
  EXPECT_EQ(Search("", "C:b.tmf", true, disk.host), "C:\\work\\b.tmf");
  EXPECT_EQ(Search("x;y", "", true, disk.host), "<false><unset>");
  EXPECT_EQ(Search("missing;y", "new.tmf", false, disk.host), "C:\\work\\y\\new.tmf");

  disk.asked.clear();
  EXPECT_EQ(Search("x;;y", "sub\\a.tmf", true, disk.host), "<false><unset>");
  const std::vector<std::string> tried = {"C:\\work\\sub\\a.tmf", "C:\\work\\x",
                                          "C:\\work\\x\\sub\\a.tmf", "C:\\work\\y",
                                          "C:\\work\\y\\sub\\a.tmf"};
  EXPECT_EQ(disk.asked, tried);
}

// A scratch tree whose "work" directory is the working directory.
class PosixPaths : public ::testing::Test {
 protected:
  std::string Dir(const std::string& name) {
    fs::create_directories(m_tmp.path() / name);
    return m_tmp.Path(name);
  }
  testing_support::TempDir m_tmp;
  const std::string m_root = m_tmp.path().string();
  const std::string m_work = Dir("work");
  testing_support::ScopedWorkingDir m_cwd{m_work};
};

TEST_F(PosixPaths, NormalizeDirectory) {
  Dir("work/tex/sub");
  EXPECT_EQ(Normalized("tex\\sub\\"), "tex/sub");
  EXPECT_EQ(Normalized(""), ".");
  EXPECT_EQ(Normalized("/"), "/");
  EXPECT_EQ(Normalized("/."), "/");
  EXPECT_EQ(Normalized("texx"), "<false>texx");
  // A TMF_DIR of $(TPF_DIR)\tex in a project in <root>/anim.
  Dir("anim/tex");
  EXPECT_EQ(Normalized(m_root + "/anim\\tex"), m_root + "/anim/tex");
}

TEST_F(PosixPaths, FullPathAndSplitPath) {
  EXPECT_EQ(FullPath("a\\..\\b\\.\\c.tmf"), m_work + "/b/c.tmf");
  EXPECT_EQ(FullPath("/x//y/"), "/x/y/");
  EXPECT_EQ(FullPath("/../x"), "/x");
  EXPECT_EQ(FullPath(""), m_work);
  EXPECT_EQ(Split("a.tpf"), m_work + "|a.tpf");
  EXPECT_EQ(Split(""), m_root + "|work");
  EXPECT_EQ(Split("/a.tpf"), "/|a.tpf");
  EXPECT_EQ(Split("C:a.tpf"), m_work + "|C:a.tpf");  // no drives here

  const std::string longest = "/" + std::string(PATH_MAX - 2, 'a');
  EXPECT_EQ(FullPath(longest), longest);
  EXPECT_EQ(FullPath(longest + "b"), "<false>");
  EXPECT_EQ(Split(longest + "b"), "<false>|");
}

TEST_F(PosixPaths, SearchFile) {
  Dir("work/tex");
  m_tmp.Write("common/walk.tmf", "x");
  EXPECT_EQ(Search("tex;..\\common", "walk.tmf", true), m_root + "/common/walk.tmf");
  m_tmp.Write("work/tex/walk.tmf", "x");
  EXPECT_EQ(Search("tex;..\\common", "walk.tmf", true), m_work + "/tex/walk.tmf");
  EXPECT_EQ(Search("", "tex\\walk.tmf", true), m_work + "/tex/walk.tmf");
  EXPECT_EQ(Search("missing;..\\common", "new.tmf", false), m_root + "/common/new.tmf");
  EXPECT_EQ(Search(".", std::string(PATH_MAX, 'n'), false), "<false><unset>");
}

}  // namespace
