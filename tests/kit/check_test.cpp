// flipdeck-kit check against tables of broken projects, one problem a case:
// the exact messages, their lines and the exit status. The clean projects
// give no message at all.
#include <gtest/gtest.h>

#include <sstream>

#include "kit/check.h"
#include "kit_cases.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;

class Check : public ::testing::TestWithParam<std::string> {};

TEST_P(Check, ReportsEachProblemWhereItLies) {
  for (const KitCase& c : ReadKitCases(GetParam())) {
    SCOPED_TRACE(GetParam() + ": " + c.name);
    ts::TempDir dir;
    for (const auto& [name, bytes] : c.files) dir.Write(name, bytes);
    CheckOptions options;
    options.anime = c.anime;
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
    for (const auto& [name, bytes] : c.files) EXPECT_EQ(dir.Read(name), bytes) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, Check,
                         ::testing::Values("check_taf.cases", "check_tpf.cases", "check_files.cases"),
                         [](const auto& info) {
                           return info.param.substr(info.param.find('_') + 1, info.param.find('.') - 6);
                         });

}  // namespace
