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

TEST(OptionTest, RegistrationNumbersAndQueries) {
  COption option("-");
  option.AddOption('s', kSwitchOption, nullptr, 5, true);
  option.AddOption('s', kValueOption, "other", 9, false);  // ignored: the first one holds
  option.AddOption('n', kNumericOption, "7", 7, false);
  option.AddOption('m', kNumericOption, "7", 7, false);
  option.AddOption('\0', kValueOption, "", 0, false);  // a lone "-" must not read past its end
  const char* argv[] = {"flipdeck", "-sX", "-n", " -0x1A", "-mpx", "-", "a.taf", "b.taf"};
  EXPECT_FALSE(option.Parse(8, argv));

  std::string text;
  int32_t number = 0;
  bool flag = true;
  EXPECT_TRUE(option.GetValue('s', text) && option.GetNumber('s', number));
  EXPECT_EQ(text + " " + std::to_string(number), "default 5");
  option.GetNumber('n', number);
  EXPECT_EQ(number, -26);
  option.GetNumber('m', number);
  EXPECT_EQ(number, 7);  // no number in the text: the integer stays
  option.GetValue('\0', text);
  EXPECT_EQ(text, "a.taf");

  // Unknown letters and indexes leave the outputs untouched.
  EXPECT_FALSE(option.GetValue('x', text) || option.GetFlag('x', flag));
  EXPECT_FALSE(option.GetNumber('x', number) || option.GetArgument(-1, text));
  EXPECT_TRUE(option.GetArgument(0, text) && !option.GetArgument(1, text));
  EXPECT_EQ(text + " " + std::to_string(number) + (flag ? " set" : ""), "b.taf 7 set");

  EXPECT_FALSE(COption().Parse(0, nullptr));
  EXPECT_STREQ(static_cast<const COptionBase&>(option).GetClassName(), "COption");
}

}  // namespace
