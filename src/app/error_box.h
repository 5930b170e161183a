// flipdeck's error box, where the reasons a TMF or TLF file did not load are
// shown. On Windows a modal message box (caption, stop icon, OK) that waits
// to be dismissed; on POSIX, where no window system can be relied on, the
// caption, a blank and the message on standard error, flushed, so that
// standard output (console lines and generated C) stays clean. One file per
// system: error_box_posix.cpp, error_box_win32.cpp.
#pragma once

#include <string>

/// Shows `message` under `caption` ("[TMF]" or "[TLF]"); the message carries
/// its own trailing line feed.
void ShowErrorBox(const std::string& caption, const std::string& message);
