#include "app/option.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/driver.h"

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

}  // namespace
