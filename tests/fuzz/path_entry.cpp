// Paths from arbitrary bytes, split at NUL bytes, through the path
// utilities of the running system (inside a scratch directory) and of a
// Windows host over a small fake disk.
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "path/path_host.h"
#include "path/path_style.h"
#include "path/path_utils.h"

namespace {

using fuzz_support::Require;

constexpr std::string_view kWindowsWorkingDir = "C:\\work";

// A Windows system with a working directory C:\work, directories
// C:\work\tex and C:\common and two image files; full paths longer than
// the system's limit do not fit.
const PathHost& FakeWindowsHost() {
  static const PathHost host{
      PathStyle::Windows,
      [](const std::string& path, std::string& full) {
        full = LexicalFullPath(path, kWindowsWorkingDir, PathStyle::Windows);
        if (full.size() <= 259) return true;
        full.clear();
        return false;
      },
      [](const std::string& path) {
        static const std::set<std::string> dirs{"C:\\", "C:\\work", "C:\\work\\tex", "C:\\common"};
        static const std::set<std::string> files{"C:\\work\\tex\\a.tmf", "C:\\common\\b.tmf"};
        std::string full = LexicalFullPath(path, kWindowsWorkingDir, PathStyle::Windows);
        if (full.size() > 3 && full.back() == '\\') full.pop_back();
        FileStatus status;
        status.isDirectory = dirs.count(full) > 0;
        status.exists = status.isDirectory || files.count(full) > 0;
        return status;
      }};
  return host;
}

// Every utility over one host with the pieces of one input.
void RunUtilities(const PathHost& host, const std::string& path, const std::string& dirList,
                  const std::string& fileName) {
  std::string dir = path;
  if (NormalizeDirectory(dir, host)) Require(!dir.empty(), "a directory is never empty");

  std::string name;
  if (SplitPath(path, dir, name, host))
    Require(name.find_first_of("\\/") == std::string::npos, "a split name has no separator");
  else
    Require(dir.empty() && name.empty(), "a failed split leaves both parts empty");

  std::string full = path;
  if (!MakeFullPath(full, host)) Require(full.empty(), "a failed full path is empty");

  for (const bool mustExist : {true, false}) {
    std::string found = "untouched";
    if (!SearchFile(found, dirList, fileName, mustExist, host))
      Require(found == "untouched", "a failed search leaves the result alone");
  }
}

}  // namespace

int FuzzPath(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces =
      fuzz_support::SplitAt(fuzz_support::AsText(data, size), std::string_view("\0", 1));
  pieces.resize(std::max<size_t>(pieces.size(), 3));
  const std::string& path = pieces[0];
  const std::string& dirList = pieces[1];
  const std::string& fileName = pieces[2];

  const std::string posix = LexicalFullPath(path, "/work", PathStyle::Posix);
  Require(!posix.empty() && posix.front() == '/', "a POSIX full path starts at the root");
  Require(LexicalFullPath(posix, "/elsewhere", PathStyle::Posix) == posix,
          "a POSIX full path is its own full path");
  const std::string windows = LexicalFullPath(path, kWindowsWorkingDir, PathStyle::Windows);
  Require(!windows.empty(), "a Windows full path is never empty");
  for (size_t i = 3; i < pieces.size(); ++i) {
    LexicalFullPath(pieces[i], path, PathStyle::Posix);
    LexicalFullPath(pieces[i], path, PathStyle::Windows);
  }

  RunUtilities(FakeWindowsHost(), path, dirList, fileName);

  // The running system: fixed files and directories in a scratch directory,
  // which relative names reach; nothing named by the input is created.
  fuzz_support::ScratchDir scratch;
  std::filesystem::create_directories(scratch.path() / "tex/sub");
  scratch.Write("tex/a.tmf", "");
  scratch.Write("b.tmf", "");
  RunUtilities(HostPaths(), path, dirList, fileName);
  return 0;
}
