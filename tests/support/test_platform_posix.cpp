// The tests' platform layer on POSIX: paths use '/', text lines end in LF,
// and the built program runs through fork and exec.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

namespace testing_support {

const char kSeparator = '/';
const char kLineEnd[] = "\n";

ProcessResult RunFlipdeck(const std::vector<std::string>& args, const std::string& workDir,
                          const std::string& stdoutPath) {
  TempDir scratch;
  const std::string outPath = stdoutPath.empty() ? scratch.Path("stdout") : stdoutPath;
  const std::string errPath = scratch.Path("stderr");
  ProcessResult result;

  pid_t pid = ::fork();
  if (pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::chdir(workDir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    std::string program = FLIPDECK_BINARY;
    argv.push_back(program.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.exitStatus = WEXITSTATUS(status);
  if (stdoutPath.empty()) result.out = ReadFileBytes(outPath);
  result.err = ReadFileBytes(errPath);
  return result;
}

}  // namespace testing_support
