// The tests' platform layer on POSIX: paths use '/', text lines end in LF,
// and programs run through fork and exec. There are no error boxes.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_platform.h"
#include "support/test_platform_posix.h"
#include "support/test_support.h"

namespace testing_support {

const char kSeparator = '/';
const char kLineEnd[] = "\n";

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

}  // namespace testing_support
