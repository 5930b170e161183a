// watch on Windows: the shell opens a URL with the browser the user chose;
// a listening socket is its port's alone (SO_EXCLUSIVEADDRUSE), since
// SO_REUSEADDR there would let another server take the port over.
#include <winsock2.h>

#include "kit/preview/watch_platform.h"

std::vector<std::string> BrowserCommand(const std::string& url) { return {"explorer", url}; }

void PrepareListenSocket(uint64_t socket) {
  const BOOL yes = TRUE;
  ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&yes), sizeof yes);
}
