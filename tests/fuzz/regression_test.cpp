// Replays the seed corpus and every saved crash of each fuzz target through
// its entry function, so that what the fuzzers once found stays fixed in
// every ordinary and sanitizer build. A broken promise aborts the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

struct FuzzTarget {
  const char* name;
  int (*entry)(const uint8_t*, size_t);
};

// clang-format off
const FuzzTarget kTargets[] = {
    {"settings", FuzzSettings},
    {"tmf", FuzzTmf},
    {"tlf", FuzzTlf},
    {"conversion", FuzzConversion},
#ifdef FLIPDECK_FUZZ_PNG
    {"png", FuzzPng},
#endif
#ifdef FLIPDECK_FUZZ_SHEET
    {"sheet", FuzzSheet},
#endif
};
// clang-format on

// The files of `dir`, sorted so that a failure names the same file each run;
// none when the directory does not exist (no crash saved yet).
std::vector<fs::path> FilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, error))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Runs every file of `kind` ("corpus" or "regressions") of each target; the
// number of files run.
size_t ReplayAll(const char* kind) {
  size_t count = 0;
  for (const FuzzTarget& target : kTargets) {
    const fs::path dir = fs::path(FLIPDECK_SOURCE_DIR) / "tests/fuzz" / kind / target.name;
    for (const fs::path& file : FilesIn(dir)) {
      SCOPED_TRACE(file.string());
      const std::string bytes = testing_support::ReadFileBytes(file.string());
      EXPECT_EQ(target.entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
      ++count;
    }
  }
  return count;
}

// The seeds are valid projects and files, so replaying them also shows the
// entry functions work in the ordinary build.
TEST(FuzzRegression, SeedsAndSavedCrashesRun) {
  EXPECT_GT(ReplayAll("corpus"), 0U);
  ReplayAll("regressions");
}

}  // namespace
