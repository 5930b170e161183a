// Interrupts that reach flipdeck or flipdeck-kit while an output is half
// done: the run ends with the status of the signal and leaves no temporary
// file and no output behind. Each run is held at a known point: one output
// is staged already when the run opens the next, a FIFO, which it can
// write only once the test reads it; the signal comes in between.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "path/staging_name.h"
#include "support/test_platform_posix.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

struct Job {
  const char* program;
  std::vector<std::string> args;
  std::string fifo;    // the output the run stops at
  std::string staged;  // an output it has staged before
};

// Every file of `dir` but the FIFO, by name, with a hash of its bytes, so
// that a failure lists what changed in a few lines.
std::map<std::string, size_t> Files(const ts::TempDir& dir, const std::string& fifo) {
  std::map<std::string, size_t> files;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name != fifo) files[name] = std::hash<std::string>()(dir.Read(name));
  }
  return files;
}

// Waits until the run `pid` has made the temporary file of `staged`; false
// when it ends or takes too long first.
bool WaitForStaging(pid_t pid, const fs::path& dir, const std::string& staged) {
  const fs::path name = dir / (StagingName(staged, pid, 0, PathStyle::Posix));
  for (int tries = 0; tries < 2000 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++tries) {
    if (fs::exists(name)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Reads the FIFO `path` until the run `pid` has ended, which lets it go on
// if it writes there, and gives its status. The FIFO is opened without
// waiting for a writer: a run that meets the signal before it opens the
// FIFO never comes to write.
int DrainUntilEnd(const std::string& path, pid_t pid) {
  const int fifo = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  std::array<char, 4096> buffer;
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (fifo < 0 || ::read(fifo, buffer.data(), buffer.size()) <= 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (fifo >= 0) ::close(fifo);
  return status;
}

void Interrupt(const Job& job, int signal) {
  SCOPED_TRACE(testing::Message() << job.program << " " << job.args[0] << ", signal " << signal);
  ts::TempDir dir;
  ts::WriteWalkExample(dir.path(), {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf",
                                    "walk1.png", "walk2.png"});
  fs::remove(dir.path() / job.fifo);
  ASSERT_EQ(::mkfifo(dir.Path(job.fifo).c_str(), 0600), 0);
  const std::map<std::string, size_t> before = Files(dir, job.fifo);
  const ts::TempDir streams;

  const pid_t pid = ts::StartProgram(job.program, job.args, dir.path().string(),
                                     streams.Path("out"), streams.Path("err"));
  ASSERT_GT(pid, 0);
  if (!WaitForStaging(pid, dir.path(), job.staged)) {
    ::kill(pid, SIGKILL);  // it may wait at the FIFO for good
    ::waitpid(pid, nullptr, 0);
    FAIL() << "no temporary file of " << job.staged << "\n"
           << streams.Read("out") << streams.Read("err");
  }
  ASSERT_EQ(::kill(pid, signal), 0);
  const int status = DrainUntilEnd(dir.Path(job.fifo), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
  // No output, staged or finished, and no temporary file is left; every
  // input is as it was.
  EXPECT_EQ(Files(dir, job.fifo), before);
}

TEST(Interrupt, LeavesNoTemporaryFileAndNoOutput) {
  const std::vector<Job> jobs = {
      // The header is staged, then the C opened.
      {FLIPDECK_BINARY, {"-ofifo.c", "-ewalk.h", "walk.taf"}, "fifo.c", "walk.h"},
      // walk1's image and palette are staged, then walk2's image opened
      // (--bits asks for palettes of their own, not the project's); the
      // example's walk1.tmf stays.
      {FLIPDECK_KIT_BINARY,
       {"import", "--bits", "4", "walk1.png", "walk2.png"},
       "walk2.tmf",
       "walk1.tmf"},
  };
  for (const Job& job : jobs)
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) Interrupt(job, signal);
}

}  // namespace
