// What only POSIX tests need of the platform layer: a program started and
// left running, for tests that act on it while it runs.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

/// Starts `program` with `args` in `workDir`, standard input empty and the
/// output streams in the files `outPath` and `errPath`; its process id, or
/// -1. The caller waits for it.
pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir, const std::string& outPath,
                   const std::string& errPath);

}  // namespace testing_support
