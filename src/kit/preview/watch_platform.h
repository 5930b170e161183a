// What watch does differently on each system: one implementation per
// system (watch_platform_posix.cpp, watch_platform_win32.cpp), chosen by the
// build.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// The command that opens `url` in the desktop's browser: `xdg-open URL` on
/// Linux and the BSDs, `open URL` on macOS, `explorer URL` on Windows.
std::vector<std::string> BrowserCommand(const std::string& url);

/// Sets up `socket`, the server's listening socket before it binds, so that
/// an address and port another server listens on is refused, never shared,
/// while a port a stopped watch just left can be taken again at once.
void PrepareListenSocket(uint64_t socket);
