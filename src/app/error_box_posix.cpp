// The error box on POSIX systems, where no window system can be relied on:
// the error goes to standard error, so that standard output (console lines
// and generated C) stays clean. Nothing waits for acknowledgement.
#include <cstdio>

#include "texture/error_box.h"

void PlatformErrorBox(const std::string& caption, const std::string& message) {
  std::fwrite(caption.data(), 1, caption.size(), stderr);
  std::fputc(' ', stderr);
  // The message carries its own trailing newline.
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fflush(stderr);
}
