// Command lines from arbitrary bytes, split at NUL bytes: the parser with
// either set of option characters and registrations the input chooses, then
// the driver's own registrations, and every query afterwards.
#include <string>
#include <vector>

#include "app/driver.h"
#include "app/option.h"
#include "fuzz_entries.h"

namespace {

using fuzz_support::Require;

// Every query of every letter and argument; answers must hold together.
void QueryAll(const COption& option) {
  for (int c = 0; c < 256; ++c) {
    const char letter = static_cast<char>(c);
    std::string value = "untouched";
    bool flag = false;
    int32_t number = 0;
    const bool hasValue = option.GetValue(letter, value);
    Require(hasValue == option.GetFlag(letter, flag), "value and flag of one registration");
    Require(hasValue == option.GetNumber(letter, number), "value and number of one registration");
    if (!hasValue) Require(value == "untouched", "an unknown letter leaves the value alone");
  }
  const int count = option.GetArgumentCount();
  std::string argument;
  for (int i = 0; i < count; ++i)
    Require(option.GetArgument(i, argument), "every argument below the count");
  Require(!option.GetArgument(count, argument), "no argument past the count");
  Require(!option.GetArgument(-1, argument), "no argument before the first");
}

}  // namespace

int FuzzOption(const uint8_t* data, size_t size) {
  const std::vector<std::string> pieces =
      fuzz_support::SplitAt(fuzz_support::AsText(data, size), std::string_view("\0", 1));

  // The first piece registers letters: each pair of bytes is a letter and
  // its kind. The rest is the command line after the program name.
  const std::string& registrations = pieces.front();
  std::vector<const char*> argv{"flipdeck"};
  for (size_t i = 1; i < pieces.size(); ++i) argv.push_back(pieces[i].c_str());
  const int argc = static_cast<int>(argv.size());

  for (const char* optionChars : {"-", "-/"}) {
    COption option(optionChars);
    for (size_t i = 0; i + 1 < registrations.size(); i += 2) {
      const int32_t kind = static_cast<unsigned char>(registrations[i + 1]) % 3;
      option.AddOption(registrations[i], kind, i % 4 == 0 ? nullptr : "d", 0, false);
    }
    option.Parse(argc, argv.data());
    QueryAll(option);
  }

  COption driverOption("-");
  ParseCommandLine(driverOption, argc, argv.data());
  QueryAll(driverOption);
  return 0;
}
