// The console stream: standard output, shared with the generated C when no
// -o file is named. Every console line end is a line feed and a flush, so
// console lines and C lines interleave by whole lines.
#pragma once

#include <ostream>

/// The console stream (std::cout). Its integer base is hexadecimal from the
/// banner on, so integers meant for C text are never streamed into it.
std::ostream& Console();

/// A line feed on the console, then a flush.
void ConsoleLineEnd();
