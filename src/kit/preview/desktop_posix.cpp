// The desktop's browser on POSIX systems: macOS opens a URL with `open`,
// the free desktops with `xdg-open`.
#include "kit/preview/change_loop.h"

std::vector<std::string> BrowserCommand(const std::string& url) {
#ifdef __APPLE__
  return {"open", url};
#else
  return {"xdg-open", url};
#endif
}
