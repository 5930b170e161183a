// The console stream: standard output, shared with the generated C when no
// -o file is named. Every console line end is a line feed and a flush, so
// console lines and C lines interleave by whole lines.
#pragma once

#include <ostream>
#include <string_view>

/// The console stream (std::cout). Its integer base is hexadecimal from the
/// banner on, so integers meant for C text are never streamed into it.
std::ostream& Console();

/// A line feed on the console, then a flush.
void ConsoleLineEnd();

/// An error on a console line of its own: a line end, "err : ", `text`, a
/// line end. Returns false, so that a failing step can return its report:
/// ("TPF.NUM undefined") -> "\nerr : TPF.NUM undefined\n".
bool ReportError(std::string_view text);

/// The same without the closing line end, for the messages that leave it to
/// the next console line, or carry their own "\n" in `text`.
bool ReportErrorUnended(std::string_view text);
