// The C output of one writer: a named file opened as text, or standard
// output shared with the console. On standard output every line goes out at
// once and flushed, so console messages and C lines interleave by whole
// lines; a named file, which nobody watches while it grows, takes the text
// in large blocks. A named file is one of the run's staged outputs: the
// text goes to its temporary file, which becomes the named file only when
// the whole run has succeeded.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <string_view>

class CStagedOutputs;

class CCOutput {
 public:
  enum class Mode { kReplace, kAppend };

  CCOutput() = default;
  /// Hands on what is held: a writer that stops early leaves what it wrote
  /// before in the output (standard output keeps it; a named file's
  /// temporary file goes when the run fails).
  ~CCOutput();
  CCOutput(const CCOutput&) = delete;
  CCOutput& operator=(const CCOutput&) = delete;

  /// Opens `path` (empty: standard output) among the run's `outputs`, which
  /// must outlive this object. False when the file cannot be opened for
  /// writing. Messages name `path` as typed, never its temporary file.
  bool Open(CStagedOutputs& outputs, const std::string& path, Mode mode);

  /// Writes `text` and a line feed.
  void Line(std::string_view text);
  /// Writes a block of C text as it stands.
  void Block(std::string_view text);
  /// True while everything written so far has reached the file or standard
  /// output. Otherwise (a full disk, a closed pipe) writes "err : [path]
  /// write failed" between console line ends, naming standard output
  /// "stdout", and returns false: a writer that goes on would pour the rest
  /// of its data into a disk that takes none of it. Reports once. Also false,
  /// without a word, once an interrupt waits for the run to end.
  bool CheckWritten();
  /// Writes out what is held and closes a named file (standard output stays
  /// open for the next writer and the console). False, after the
  /// CheckWritten message, when anything could not be written: a file cut
  /// short must not pass for a finished one.
  bool Close();

 private:
  void Put(std::string_view text);
  // Hands the text held back to the stream.
  void Drain();
  bool ReportWriteFailed();

  std::ofstream m_file;
  std::ostream* m_pStream = nullptr;
  const CStagedOutputs* m_pOutputs = nullptr;
  std::string m_strName;     // the path as typed, or "stdout"
  std::string m_strPending;  // text for a named file not yet handed to the stream
  bool m_bFailed = false;    // reported, or stopped by an interrupt
};

/// The three comment lines that open the C source and the header.
void WriteFileComment(CCOutput& out);

/// Whether `hPath` can stand between the quotes of `#include "..."` as it
/// is: a header name holds no '"' and no control byte but tab, vertical tab
/// and form feed. A backslash is no escape there, so `inc\walk.h` can.
/// `wa"lk.h` and a name with a line break cannot.
bool CanIncludeHeader(std::string_view hPath);

/// The opening comment and include lines that start both writers' parts.
/// Without a header name the include of the header is left out, since
/// `#include ""` is no valid C.
void WriteOpeningLines(CCOutput& out, const std::string& hPath);
