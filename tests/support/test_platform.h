// What the test helpers need of the system they run on; one implementation
// per system (test_platform_posix.cpp, test_platform_win32.cpp), chosen by
// the build.
#pragma once

#include <string>
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

}  // namespace testing_support
