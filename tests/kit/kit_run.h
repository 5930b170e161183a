// flipdeck-kit run in this process, on the words of one line, in a folder:
// what the kit's tests of whole commands share.
#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "kit/commands/kit.h"
#include "support/test_support.h"

struct KitRun {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

/// Runs flipdeck-kit with the words of `line` (split at blanks) in `dir`.
inline KitRun Kit(const testing_support::TempDir& dir, const std::string& line) {
  testing_support::ScopedWorkingDir cwd(dir.path());
  std::istringstream words(line);
  std::vector<std::string> args{"flipdeck-kit"};
  for (std::string word; words >> word;) args.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  const testing_support::OutputCapture out;
  const testing_support::OutputCapture err(std::cerr);
  const int status = RunKit(static_cast<int>(argv.size()), argv.data());
  return {status, out.Text(), err.Text()};
}
