// flipdeck-kit check against tables of broken projects, one problem a case:
// the exact messages, their lines and the exit status. The clean projects
// give no message at all.
#include <gtest/gtest.h>

#include <sstream>

#include "kit/check/check.h"
#include "support/kit_cases.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;

// What check says flipdeck does, flipdeck does: it fails exactly when a
// message says it stops, and its console holds the text of one of those
// stops (the first it meets; a stop "without a message" prints none).
void ExpectFlipdeckAgrees(const ts::TempDir& dir, const std::string& anime,
                          const std::string& header, const std::string& report) {
  std::vector<std::string> args = {"-oout.c", anime};
  if (!header.empty()) args.insert(args.begin(), "-e" + header);
  const ts::ProcessResult run = ts::RunFlipdeck(args, dir.path().string());
  const bool stops = report.find(" stops ") != std::string::npos;
  EXPECT_EQ(run.exitStatus, stops ? 1 : 0) << run.out;
  bool quoted = report.find("stops the camera part there without a message") != std::string::npos;
  const std::string marker = "stops with \"";
  for (size_t at = report.find(marker); at != std::string::npos; at = report.find(marker, at + 1)) {
    const size_t start = at + marker.size();
    const std::string text = report.substr(start, report.find('"', start) - start);
    quoted = quoted || run.out.find(text) != std::string::npos;
  }
  EXPECT_EQ(quoted, stops) << run.out;
}

class Check : public ::testing::TestWithParam<std::string> {};

TEST_P(Check, ReportsEachProblemWhereItLies) {
  for (const KitCase& c : ReadKitCases("kit/check/cases/" + GetParam())) {
    SCOPED_TRACE(GetParam() + ": " + c.name);
    ts::TempDir dir;
    ts::LayOut(c.fixture, dir);
    CheckOptions options;
    options.anime = ts::WithDir(c.anime, dir.path().string());
    for (size_t i = 0; i < c.args.size(); ++i) {
      if (c.args[i] == "--werror") options.werror = true;
      if (c.args[i] == "--summary") options.summary = true;
      if (c.args[i] == "--header") options.header = c.args.at(++i);
    }
    std::ostringstream out;
    int status = 0;
    {
      ts::ScopedWorkingDir cwd(dir.path());
      status = RunCheck(options, out);
    }
    const std::string expected = ts::WithDir(c.expect, dir.path().string());
    EXPECT_EQ(out.str(), expected);
    // An error, and with --werror any problem, fails the check.
    const bool fails = expected.find(": error: ") != std::string::npos ||
                       (options.werror && expected.find(": warning: ") != std::string::npos);
    EXPECT_EQ(status, fails ? 1 : 0);
    for (const auto& [name, bytes] : c.fixture.files) EXPECT_EQ(dir.Read(name), bytes) << name;
    ExpectFlipdeckAgrees(dir, options.anime, options.header, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, Check, ::testing::Values("check_taf.cases", "check_tpf.cases", "check_files.cases"),
    [](const auto& info) {
      return info.param.substr(info.param.find('_') + 1, info.param.find('.') - 6);
    });

}  // namespace
