#include "app/option.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A parser with the program's five options, run over `args` (argv[1..]).
struct Parsed {
  explicit Parsed(std::vector<std::string> args, const char* optionChars = "-/")
      : option(optionChars), words(std::move(args)) {
    option.AddOption('h', kSwitchOption, nullptr, 0, false);
    option.AddOption('?', kSwitchOption, nullptr, 0, false);
    option.AddOption('o', kValueOption, "", 0, false);
    option.AddOption('e', kValueOption, "", 0, false);
    option.AddOption('v', kSwitchOption, nullptr, 0, false);
    std::vector<const char*> argv{"flipdeck"};
    for (const std::string& word : words) argv.push_back(word.c_str());
    error = option.Parse(static_cast<int>(argv.size()), argv.data());
  }

  std::string Value(char letter) const {
    std::string value = "<none>";
    option.GetValue(letter, value);
    return value;
  }
  bool Flag(char letter) const {
    bool flag = false;
    option.GetFlag(letter, flag);
    return flag;
  }
  std::vector<std::string> Arguments() const {
    std::vector<std::string> all;
    std::string argument;
    for (int i = 0; option.GetArgument(i, argument); ++i) all.push_back(argument);
    return all;
  }

  COption option;
  std::vector<std::string> words;
  bool error = false;
};

using Args = std::vector<std::string>;

TEST(OptionCharsTest, SlashBeginsAnOptionOnlyWhenAsked) {
  Parsed windows({"/h", "/oout.c", "walk.taf"}, "-/");
  EXPECT_TRUE(windows.Flag('h'));
  EXPECT_EQ(windows.Value('o'), "out.c");
  EXPECT_EQ(windows.Arguments(), Args{"walk.taf"});

  Parsed posix({"-o/tmp/out.c", "/work/anim/walk.taf", "/h"}, "-");
  EXPECT_FALSE(posix.error);
  EXPECT_FALSE(posix.Flag('h'));
  EXPECT_EQ(posix.Value('o'), "/tmp/out.c");
  EXPECT_EQ(posix.Arguments(), (Args{"/work/anim/walk.taf", "/h"}));
}

TEST(OptionCharsTest, EmptyArgumentIsPositional) {
  for (const char* chars : {"-/", "-"}) {
    Parsed parsed({"", "b"}, chars);
    EXPECT_FALSE(parsed.error) << chars;
    EXPECT_EQ(parsed.Arguments(), (Args{"", "b"})) << chars;
  }
}

TEST(UnregisteredLetterTest, SetsErrorAndStopsCollecting) {
  EXPECT_TRUE(Parsed({"-H"}).error);  // letters are case-sensitive
  EXPECT_TRUE(Parsed({"-x", "a.taf"}).error);
  EXPECT_TRUE(Parsed({"-x", "a.taf"}).Arguments().empty());

  Parsed parsed({"-oa.c", "a.taf", "-x", "b.taf", "-v"});
  EXPECT_TRUE(parsed.error);
  EXPECT_EQ(parsed.Arguments(), Args{"a.taf"});
  EXPECT_EQ(parsed.Value('o'), "a.c");  // what came before the letter stays
  EXPECT_FALSE(parsed.Flag('v'));
}

TEST(UnregisteredLetterTest, LoneOptionCharacterHasNoLetter) {
  EXPECT_TRUE(Parsed({"-"}, "-").error);
  EXPECT_TRUE(Parsed({"/"}, "-/").error);
  Parsed posix({"/"}, "-");
  EXPECT_FALSE(posix.error);
  EXPECT_EQ(posix.Arguments(), Args{"/"});
}

TEST(ValueOptionTest, ValueJoinedOrInNextArgument) {
  EXPECT_EQ(Parsed({"-oout.c"}).Value('o'), "out.c");
  EXPECT_EQ(Parsed({"-o", "out.c"}).Value('o'), "out.c");
  EXPECT_EQ(Parsed({"-oa.c", "-ob.c"}).Value('o'), "b.c");

  // The next argument is the value whatever it looks like.
  Parsed dash({"-o", "-v", "a.taf"});
  EXPECT_EQ(dash.Value('o'), "-v");
  EXPECT_FALSE(dash.Flag('v'));
  EXPECT_EQ(dash.Arguments(), Args{"a.taf"});

  Parsed empty({"-o", "", "a.taf"});
  EXPECT_EQ(empty.Value('o'), "");
  EXPECT_EQ(empty.Arguments(), Args{"a.taf"});
}

TEST(ValueOptionTest, MissingValueAtTheEndKeepsThePreviousOne) {
  Parsed last({"a.taf", "-ofirst.c", "-o"});
  EXPECT_FALSE(last.error);
  EXPECT_EQ(last.Value('o'), "first.c");
  EXPECT_EQ(last.Arguments(), Args{"a.taf"});

  Parsed onlyValue({"-o", "a.taf"});
  EXPECT_EQ(onlyValue.Value('o'), "a.taf");
  EXPECT_TRUE(onlyValue.Arguments().empty());
}

TEST(ValueOptionTest, NumericOptionReadsLikePercentI) {
  auto number = [](const char* given) {
    COption option("-");
    option.AddOption('n', kNumericOption, "7", 7, false);
    const char* argv[] = {"flipdeck", "-n", given};
    option.Parse(3, argv);
    int32_t value = 0;
    option.GetNumber('n', value);
    return value;
  };
  EXPECT_EQ(number(" -0x1A"), -26);
  EXPECT_EQ(number("010"), 8);
  EXPECT_EQ(number("px"), 7);  // no number: the integer stays
}

TEST(ValueOptionTest, LoneDashRegisteredAsValueTakesNextArgument) {
  COption option("-");
  option.AddOption('\0', kValueOption, "", 0, false);
  const char* argv[] = {"flipdeck", "-", "x"};
  EXPECT_FALSE(option.Parse(3, argv));
  std::string value;
  option.GetValue('\0', value);
  EXPECT_EQ(value, "x");
}

TEST(SwitchTest, TrailingCharactersAndRepeatsStillSet) {
  EXPECT_TRUE(Parsed({"-verbose"}).Flag('v'));
  EXPECT_TRUE(Parsed({"-vx", "-v"}).Flag('v'));
  EXPECT_FALSE(Parsed({"a.taf"}).Flag('v'));
}

TEST(RegistrationTest, DefaultsAndSecondRegistration) {
  COption option;
  EXPECT_TRUE(option.AddOption('s', kSwitchOption, nullptr, 5, true));
  EXPECT_TRUE(option.AddOption('o', kValueOption, "", 0, false));
  EXPECT_TRUE(option.AddOption('s', kValueOption, "other", 9, false));

  std::string text;
  bool flag = false;
  int32_t number = 0;
  ASSERT_TRUE(option.GetValue('s', text));
  EXPECT_EQ(text, "default");
  ASSERT_TRUE(option.GetFlag('s', flag));
  EXPECT_TRUE(flag);
  ASSERT_TRUE(option.GetNumber('s', number));
  EXPECT_EQ(number, 5);
  ASSERT_TRUE(option.GetValue('o', text));
  EXPECT_EQ(text, "");

  // The first registration is a switch, so "-sX" does not replace the text.
  const char* argv[] = {"flipdeck", "-sX"};
  EXPECT_FALSE(option.Parse(2, argv));
  option.GetValue('s', text);
  EXPECT_EQ(text, "default");
}

TEST(QueryTest, MissingLettersAndIndexesLeaveOutputsUntouched) {
  EXPECT_FALSE(Parsed({}).error);
  EXPECT_FALSE(COption().Parse(0, nullptr));

  Parsed parsed({"a.taf"});
  std::string text = "untouched";
  bool flag = true;
  EXPECT_FALSE(parsed.option.GetValue('x', text));
  EXPECT_FALSE(parsed.option.GetFlag('x', flag));
  EXPECT_FALSE(parsed.option.GetArgument(-1, text));
  EXPECT_FALSE(parsed.option.GetArgument(1, text));
  EXPECT_EQ(text, "untouched");
  EXPECT_TRUE(flag);

  const COptionBase& base = parsed.option;
  EXPECT_STREQ(base.GetClassName(), "COption");
}

}  // namespace
