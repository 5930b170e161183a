// How the TMF and TLF loaders say why a file did not load: to their caller,
// through the reporter the caller passes in. The loaders only format the
// message; the program on top decides how it is shown (flipdeck: its error
// box; the kit: its own diagnostics; a test: a string it reads).
#pragma once

#include <functional>
#include <string>

/// Receives a loader's failure: the caption ("[TMF]" or "[TLF]") and the
/// message, which carries its own trailing line feed:
/// ("[TLF]", "[a.tlf] incorrect header size.\n").
using LoadReporter = std::function<void(const std::string& caption, const std::string& message)>;

/// Formats `format` printf-style, as long as the result needs (a message
/// naming a very long file keeps its whole name), hands it to `report`
/// under `caption` and returns false, so that a failing load can return its
/// report: ("[%s] file open failed.\n", "a.tmf") -> "[a.tmf] file open failed.\n".
/// An invalid format gives the empty message.
bool ReportLoadError(const LoadReporter& report, const std::string& caption, const char* format,
                     ...);
