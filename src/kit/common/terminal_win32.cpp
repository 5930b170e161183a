// Whether standard error is a terminal, on Windows.
#include <io.h>

#include <cstdio>

#include "kit/common/progress.h"

bool IsErrorStreamTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }
