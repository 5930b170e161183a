// The error box for TMF and TLF files. On Windows a modal message box
// (caption, stop icon, OK); on POSIX the caption, a blank and the message on
// standard error, flushed. Tests replace the reporter to see what is shown.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>

using ErrorReporter = std::function<void(const std::string& caption, const std::string& message)>;

/// Shows `message` under `caption` ("[TMF]" or "[TLF]") through the current
/// reporter; the platform's box unless a test installed its own.
void ShowErrorBox(const std::string& caption, const std::string& message);

/// Installs `reporter` (an empty function restores the platform's box) and
/// returns the previous one.
ErrorReporter SetErrorReporter(ErrorReporter reporter);

/// The platform's own box: error_box_posix.cpp or error_box_win32.cpp.
void PlatformErrorBox(const std::string& caption, const std::string& message);

/// Formats `format` with `args` printf-style, as long as the result needs
/// (a message naming a very long file keeps its whole name):
/// ("[%s] file open failed.\n", "a.tmf") -> "[a.tmf] file open failed.\n".
/// An invalid format gives "".
std::string FormatMessageV(const char* format, va_list args);
