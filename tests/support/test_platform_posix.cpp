// The tests' platform layer on POSIX: paths use '/', text lines end in LF,
// and programs run through fork and exec. There are no error boxes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "support/test_platform.h"
#include "support/test_platform_posix.h"
#include "support/test_support.h"

namespace testing_support {

const char kSeparator = '/';
const char kLineEnd[] = "\n";
const char kNullDevice[] = "/dev/null";

pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir, const std::string& outPath,
                   const std::string& errPath) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::chdir(workDir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<std::string> copies(args);
    copies.insert(copies.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::string& outPath, const std::string& errPath,
               std::string& /*shown*/) {
  const pid_t pid = StartProgram(program, args, workDir, outPath, errPath);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) return WEXITSTATUS(status);
  return -1;
}

CFeedingFifo::CFeedingFifo(const std::string& path, std::string bytes)
    : m_made(::mkfifo(path.c_str(), 0600) == 0) {
  if (!m_made) return;
  m_feeder = std::thread([this, path, bytes = std::move(bytes)] {
    // A reader that leaves early must not end the test with SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    while (!m_stop) {
      // Without a reader, a writer's non-blocking open fails at once.
      const int fifo = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
      if (fifo < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      // A reader that left early has missed its bytes: nothing to do.
      [[maybe_unused]] const ssize_t written = ::write(fifo, bytes.data(), bytes.size());
      ::close(fifo);
    }
  });
}

CFeedingFifo::~CFeedingFifo() {
  m_stop = true;
  if (m_feeder.joinable()) m_feeder.join();
}

}  // namespace testing_support
