// flipdeck-kit check: reads an animation as flipdeck does (same working
// directory, same code) and reports every problem it finds, each where it
// lies, in the compilers' shape ("walk.taf:7: error: ..."), and with what
// flipdeck will do with the input. flipdeck itself converts as it always has.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct CheckOptions {
  std::string anime;   // the TAF file
  std::string header;  // the header -e would name, "" for none
  bool werror = false;
  bool summary = false;
};

/// The check job, its report written to `out`: 1 when it found an error (with
/// --werror, any problem), else 0.
int RunCheck(const CheckOptions& options, std::ostream& out);

/// Check's report on `anime` as lines, without the status: what a page that
/// shows the animation lists beside it. A clean animation -> none;
/// `walk.taf:7: error: FRAME_KEY1 starts at frame 36, ...` for one that is not.
std::vector<std::string> CheckMessages(const std::string& anime);
