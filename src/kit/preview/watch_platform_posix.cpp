// watch on POSIX systems: macOS opens a URL with `open`, the free desktops
// with `xdg-open`; a listening socket takes SO_REUSEADDR alone (never
// SO_REUSEPORT, which would let a second server share the port).
#include <sys/socket.h>

#include "kit/preview/watch_platform.h"

std::vector<std::string> BrowserCommand(const std::string& url) {
#ifdef __APPLE__
  return {"open", url};
#else
  return {"xdg-open", url};
#endif
}

void PrepareListenSocket(uint64_t socket) {
  const int yes = 1;
  ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}
