// CCheckReport: the problems check finds, gathered as they are found and
// written at the end in the compilers' shape, sorted by file and line, so
// that editors, IDEs and CI annotate them where they stand:
//   walk.taf:7: error: FRAME_KEY1 starts at frame 36, ...
//   walk1.tmf: warning: body holds 3 of 16 rows; the rest convert as zero
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

class CCheckReport {
 public:
  enum class Severity { kWarning, kError };

  /// Records a problem of `file` at `line` (0: the file as a whole).
  void Add(Severity severity, const std::string& file, int line, std::string message);
  void Error(const std::string& file, int line, std::string message) {
    Add(Severity::kError, file, line, std::move(message));
  }
  void Warning(const std::string& file, int line, std::string message) {
    Add(Severity::kWarning, file, line, std::move(message));
  }

  /// Writes every problem once, sorted by file, then line, then the order
  /// found: "FILE:LINE: error: MESSAGE", "FILE: warning: MESSAGE" for line 0.
  /// `werror` writes warnings as errors.
  void Print(std::ostream& out, bool werror) const;
  /// Whether an error was found (with `werror`, any problem).
  bool HasErrors(bool werror) const;

 private:
  struct CProblem {
    Severity severity;
    std::string file;
    int line;
    std::string message;
  };
  std::vector<CProblem> m_problems;
};

/// A value or name quoted in a message: `walk1` -> "`walk1`".
std::string Quoted(std::string_view text);

/// flipdeck's console text as a message quotes it: "stops with \"<text>\"".
std::string StopsWith(const std::string& text);

/// "FRAME_KEY2", "FRAME_KEY2 and FRAME_KEY3" or "FRAME_KEY2 to FRAME_KEY9".
std::string NameRange(const std::string& prefix, int first, int last);
