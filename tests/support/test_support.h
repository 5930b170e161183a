// Helpers shared by flipdeck's tests: a scratch directory that cleans up
// after itself, a capture of the console stream, and a runner for the built
// flipdeck binary.
#pragma once

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

/// A fresh directory under the system's temporary directory, removed with
/// everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  /// Full path of `name` inside the directory, with the system's separators
  /// (`a/b` is `a\b` on Windows), as flipdeck prints it.
  std::string Path(const std::string& name) const;
  /// Writes `bytes` to `name` (creating parent directories); returns the full path.
  std::string Write(const std::string& name, std::string_view bytes) const;
  /// The whole content of `name`, or "" when it cannot be read.
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::filesystem::path m_path;
};

/// Reads a whole file as bytes; "" when it cannot be opened.
std::string ReadFileBytes(const std::string& path);

/// The bytes of tests/`path`, a file kept beside the tests.
std::string TestFile(const std::string& path);

/// The walk example (examples/walk), which many tests start from: the bytes
/// of its file `name`, and its files `names` written into `dir` (by default
/// the project flipdeck converts: TAF, TPF, images, palette).
std::string WalkExample(const std::string& name);
void WriteWalkExample(const std::filesystem::path& dir,
                      const std::vector<std::string>& names = {"walk.taf", "walk.tpf", "walk1.tmf",
                                                               "walk2.tmf", "walk.tlf"});

/// Redirects `stream` into a string for its lifetime and restores the
/// stream afterwards.
class OutputCapture {
 public:
  explicit OutputCapture(std::ostream& stream = std::cout);
  ~OutputCapture();
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  std::string Text() const { return m_buffer.str(); }

 private:
  std::ostream& m_stream;
  std::ostringstream m_buffer;
  std::streambuf* m_saved;
};

/// Makes `dir` the working directory for the object's lifetime.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::filesystem::path& dir);
  ~ScopedWorkingDir();
  ScopedWorkingDir(const ScopedWorkingDir&) = delete;
  ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

 private:
  std::filesystem::path m_saved;
};

struct ProcessResult {
  int exitStatus = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

/// Runs the built flipdeck binary with `args` (argv[1..]) in `workDir`,
/// standard input closed, and collects both output streams. On Windows each
/// error box the run shows is read and dismissed, so that no test waits for
/// a click, and lands in `err` as POSIX prints it there: the caption, one
/// blank, the text.
/// A non-empty `stdoutPath` takes standard output instead (and `out` stays empty).
ProcessResult RunFlipdeck(const std::vector<std::string>& args, const std::string& workDir = ".",
                          const std::string& stdoutPath = "");

/// Runs the built flipdeck-kit binary the same way. Exit status -1, and a
/// note in `err`, in a build without flipdeck-kit (HaveFlipdeckKit).
ProcessResult RunFlipdeckKit(const std::vector<std::string>& args,
                             const std::string& workDir = ".");

/// Whether this build has flipdeck-kit: a Windows cross build has not.
bool HaveFlipdeckKit();

/// The separator in the paths flipdeck prints, and the line end of the text
/// it writes (console and generated files) on the system the tests run on.
extern const char kSeparator;
extern const char kLineEnd[];

/// `text` with every "@DIR@" replaced by `dir`; a '/' right after the marker
/// becomes kSeparator, so "@DIR@/a.tmf" reads as flipdeck prints the path.
std::string WithDir(std::string text, const std::string& dir);

/// `text` with every LF written as kLineEnd: what flipdeck writes for it.
std::string AsWritten(std::string_view text);

/// The banner every run prints first.
std::string Banner();

/// Every `\x{HH}` in `text` as the byte HH: "a\x{e9}" -> "a", 0xe9.
std::string Unescape(std::string text);

/// The bytes the hex digits of `digits` spell, blanks skipped: "0a 1b" ->
/// 0x0a, 0x1b.
std::string FromHex(std::string digits);

/// One row of a table file, escapes resolved, and where it stands.
struct TableRow {
  std::string input, expected, where;
};

/// The rows of the table file tests/`path`: `input => expected` a line;
/// empty lines and lines beginning with "#" are skipped. Blanks around the
/// arrow are not part of either side.
std::vector<TableRow> ReadTable(const std::string& path);

/// The loaders' reporter for tests that expect every file to load: a report
/// fails the test with the loader's message.
void FailOnLoadError(const std::string& caption, const std::string& message);

}  // namespace testing_support
