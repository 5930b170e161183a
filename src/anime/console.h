// The console stream: standard output, shared with the generated C when no
// -o file is named. Every console line end is a line feed and a flush, so
// console lines and C lines interleave by whole lines.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

/// The console stream (std::cout). Its formatting is never changed: an
/// integer goes out as ConsoleInteger writes it.
std::ostream& Console();

/// An integer as the console shows every one: lowercase hexadecimal without
/// prefix, a negative one as its 32-bit two's complement, which is how the
/// converter's console has always read: 145 -> "91", 10 -> "a",
/// -1 -> "ffffffff".
std::string ConsoleInteger(int32_t value);

/// A line feed on the console, then a flush.
void ConsoleLineEnd();

/// An error on a console line of its own: a line end, "err : ", `text`, a
/// line end. Returns false, so that a failing step can return its report:
/// ("TPF.NUM undefined") -> "\nerr : TPF.NUM undefined\n".
bool ReportError(std::string_view text);

/// The same without the closing line end, for the messages that leave it to
/// the next console line, or carry their own "\n" in `text`.
bool ReportErrorUnended(std::string_view text);
