// Whether standard error is a terminal, on POSIX systems.
#include <unistd.h>

#include "kit/common/progress.h"

bool IsErrorStreamTerminal() { return ::isatty(STDERR_FILENO) != 0; }
