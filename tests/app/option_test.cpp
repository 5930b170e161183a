#include "app/option.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anime/console.h"
#include "app/driver.h"
#include "support/case_file.h"
#include "support/test_support.h"

namespace {

TEST(OptionTest, ProgramCommandLines) {
  for (const auto& row : testing_support::ReadTable("app/command_lines.table")) {
    const std::vector<std::string> words = testing_support::ReadArguments(row.input);
    COption option(words[0].c_str());
    std::vector<const char*> argv{"flipdeck"};
    for (size_t i = 1; i < words.size(); ++i) argv.push_back(words[i].c_str());
    std::string read =
        ParseCommandLine(option, static_cast<int>(argv.size()), argv.data()) ? "run o=" : "stop o=";
    std::string value;
    option.GetValue('o', value);
    read += value;
    for (int n = 0; option.GetArgument(n, value); ++n)
      read += " " + (value.empty() ? "\"\"" : value);
    EXPECT_EQ(read, row.expected) << row.where;
  }
}

// The banner's version mark is made of console integers, yet writing it
// leaves the stream as it was: a count written after it reads as decimal.
TEST(DriverTest, BannerFormatsItsIntegersWithoutChangingTheConsole) {
  testing_support::OutputCapture capture;
  PrintBanner();
  Console() << 26;
  EXPECT_EQ(capture.Text(), testing_support::Banner() + "26");
  EXPECT_EQ(ConsoleInteger(10), "a");
  EXPECT_EQ(ConsoleInteger(-1), "ffffffff");
}

}  // namespace
