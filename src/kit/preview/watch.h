// flipdeck-kit watch: a live preview that follows every save. It serves
// the preview page on the loopback address and, each time a file the
// animation is made of changes, syncs the art, reads the animation again
// and pushes it to the page, which takes it in place. A save that breaks
// the animation leaves the last one that converted on the page, under a
// panel of check's messages.
#pragma once

#include <cstdint>
#include <string>

#include "kit/preview/live_animation.h"

struct WatchOptions {
  std::string anime;               // the TAF file
  std::string host = "127.0.0.1";  // the address the server listens on
  int port = 0;                    // 0: a free port
  int64_t fps = 60;                // the page's starting frame rate
  int32_t scale = 0;               // screen pixels per picture pixel; 0 fits about 512
  bool open = false;               // start the desktop's browser on the page
};

/// The watch job: serves until Ctrl-C (SIGINT, SIGTERM, SIGHUP), then 0. 1
/// after the message when it cannot listen. It writes no file itself: only
/// `steps.sync` does.
int RunWatch(const WatchOptions& options, const CLiveSteps& steps);

/// Whether `host` is a loopback address, which only this machine reaches:
/// `127.0.0.1`, any other of 127.0.0.0/8, `::1`, `localhost`.
bool IsLoopbackHost(const std::string& host);
