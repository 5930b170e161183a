#include "app/option.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anime/console.h"
#include "app/driver.h"
#include "support/test_support.h"

namespace {

TEST(OptionTest, ProgramCommandLines) {
  struct Row {
    std::vector<const char*> args;
    bool run;       // registered letters only, no help switch, an anime file
    std::string o;  // value text of -o
    std::vector<std::string> positional;
    const char* optionChars = "-";
  };
  const Row rows[] = {
      {{"/oout.c", "walk.taf"}, true, "out.c", {"walk.taf"}, "-/"},
      {{"/", "walk.taf"}, false, "", {}, "-/"},
      {{"-o/tmp/out.c", "/work/walk.taf", "/h"}, true, "/tmp/out.c", {"/work/walk.taf", "/h"}},
      {{"/", ""}, true, "", {"/", ""}},
      // What came before the unknown letter stays; nothing after it is read.
      {{"-oa.c", "a.taf", "-x", "b.taf"}, false, "a.c", {"a.taf"}},
      {{"-o", "-v", "a.taf"}, true, "-v", {"a.taf"}},
      {{"-oa.c", "-o", "b.c", "a.taf"}, true, "b.c", {"a.taf"}},
      {{"-oa.c", "-o", "", "a.taf"}, true, "", {"a.taf"}},
      {{"a.taf", "-oa.c", "-o"}, true, "a.c", {"a.taf"}},
      // A lone "-" has the terminator as its letter, which is never registered.
      {{"-oa.c", "-", "a.taf"}, false, "a.c", {}},
      {{"-vx", "-?"}, false, "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    COption option(row.optionChars);
    std::vector<const char*> argv{"flipdeck"};
    argv.insert(argv.end(), row.args.begin(), row.args.end());
    EXPECT_EQ(ParseCommandLine(option, static_cast<int>(argv.size()), argv.data()), row.run);
    std::string o;
    option.GetValue('o', o);
    EXPECT_EQ(o, row.o);
    std::vector<std::string> positional;
    for (std::string argument; option.GetArgument(static_cast<int>(positional.size()), argument);)
      positional.push_back(argument);
    EXPECT_EQ(positional, row.positional);
  }
}

// The banner's version mark is made of console integers, yet writing it
// leaves the stream as it was: a count written after it reads as decimal.
TEST(DriverTest, BannerFormatsItsIntegersWithoutChangingTheConsole) {
  testing_support::CoutCapture capture;
  PrintBanner();
  Console() << 26;
  EXPECT_EQ(capture.Text(),
            " \nQuillmark Flipdeck version0.91A\nCopyright (C) 2026 the flipdeck developers\n26");
  EXPECT_EQ(ConsoleInteger(10), "a");
  EXPECT_EQ(ConsoleInteger(-1), "ffffffff");
}

}  // namespace
