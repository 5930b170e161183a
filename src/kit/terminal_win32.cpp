// Whether standard error is a terminal, on Windows.
#include <io.h>

#include <cstdio>

#include "kit/progress.h"

bool IsErrorStreamTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }
