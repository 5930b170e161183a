// What the test helpers need of the system they run on; one implementation
// per system (test_platform_posix.cpp, test_platform_win32.cpp), chosen by
// the build.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

/// Runs `program` with `args` in `workDir`, standard input empty and the
/// output streams in the files `outPath` and `errPath`, and waits for it.
/// Returns its exit status, or -1 when it could not run or finish. Error
/// boxes it shows are read and dismissed; `shown` collects their captions
/// and texts ("<caption> <text>", as POSIX prints them to standard error),
/// and says why the program did not run or finish.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::string& outPath, const std::string& errPath,
               std::string& shown);

/// A device that a program may name as a file: /dev/null on POSIX; empty on
/// Windows, whose NUL is no entry of the file system.
extern const char kNullDevice[];

/// A named pipe (FIFO) at `path` that answers each reader with `bytes` and
/// an end, from a thread of its own, until the object goes: a job that
/// opens it by mistake reads those instead of waiting for a writer for
/// ever. IsMade() is false where the file system has no FIFOs (Windows).
class CFeedingFifo {
 public:
  CFeedingFifo(const std::string& path, std::string bytes);
  ~CFeedingFifo();
  CFeedingFifo(const CFeedingFifo&) = delete;
  CFeedingFifo& operator=(const CFeedingFifo&) = delete;

  bool IsMade() const { return m_made; }

 private:
  bool m_made = false;
  std::atomic<bool> m_stop = false;
  std::thread m_feeder;
};

}  // namespace testing_support
