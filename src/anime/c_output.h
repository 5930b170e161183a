// The C output of one writer: a named file opened as text, or standard
// output shared with the console. Lines end in a line feed and a flush so
// console messages and C lines interleave by whole lines.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <string_view>

/// Writes `text` to `out` at once, then flushes.
void WriteText(std::ostream& out, std::string_view text);
/// Writes a line feed to `out`, then flushes.
void WriteLineEnd(std::ostream& out);

class CCOutput {
 public:
  enum class Mode { kReplace, kAppend };

  /// Opens `path` (empty: standard output). False when the file cannot be
  /// opened for writing.
  bool Open(const std::string& path, Mode mode);

  std::ostream& Stream() { return *m_pStream; }
  /// Writes `text`, a line feed, and flushes.
  void Line(std::string_view text);
  /// Writes a block of C text at once, then flushes.
  void Block(std::string_view text);
  /// True while everything written so far has reached the file or standard
  /// output. Otherwise (a full disk, a closed pipe) writes "err : [path]
  /// write failed" between console line ends, naming standard output
  /// "stdout", and returns false: a writer that goes on would pour the rest
  /// of its data into a disk that takes none of it. Reports once.
  bool CheckWritten();
  /// Closes a named file (standard output stays open for the next writer
  /// and the console). False, after the CheckWritten message, when anything
  /// could not be written: a file cut short must not pass for a finished one.
  bool Close();

 private:
  bool ReportWriteFailed();

  std::ofstream m_file;
  std::ostream* m_pStream = nullptr;
  std::string m_strName;  // the path as typed, or "stdout"
  bool m_bReported = false;
};

/// The opening comment and include lines that start both writers' parts.
/// Without a header name the include of the header is left out, since
/// `#include ""` is no valid C.
void WriteOpeningLines(CCOutput& out, const std::string& hPath);
