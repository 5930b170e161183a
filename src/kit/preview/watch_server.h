// CWatchServer: the HTTP side of watch. It answers three things and
// nothing else: the page at `/`, the event stream at `/events` that pushes
// each new read of the animation, and 404 for every other path, so no
// address a browser is given reaches the disk. It answers only requests
// whose Host names the address and port it listens on (127.0.0.1:PORT or
// localhost:PORT, or the address --host gave): a page elsewhere that points
// a name of its own at 127.0.0.1 (DNS rebinding) gets 403. It sends no CORS
// headers, so no other origin reads what it serves. It serves on threads of
// its own; what it serves comes from the live state alone.
#pragma once

#include <memory>
#include <string>

#include "kit/preview/preview_page.h"

class CLiveState;

class CWatchServer {
 public:
  /// Serves `state` inside `frame` (MakeLivePageFrame).
  CWatchServer(CLiveState& state, CLivePageFrame frame);
  /// Stops serving, as Stop.
  ~CWatchServer();
  CWatchServer(const CWatchServer&) = delete;
  CWatchServer& operator=(const CWatchServer&) = delete;

  /// Takes the address `host` and port `port`, 0 for a free one. False
  /// with the system's reason in `message` when it cannot listen there
  /// ("Address already in use").
  bool Listen(const std::string& host, int port, std::string& message);
  /// The port it listens on, once it does.
  int Port() const;

  /// Serves, on threads of its own, until Stop.
  void Start();
  /// Ends the event streams (closing `state`), stops serving and waits for
  /// its threads. Does nothing when it is not serving.
  void Stop();

 private:
  struct CImpl;
  std::unique_ptr<CImpl> m_impl;
};

/// `host` as an address in a URL names it: IPv6 addresses stand in
/// brackets. `::1` -> `[::1]`, `127.0.0.1` stays.
std::string UrlHost(const std::string& host);

/// Whether a request's `Host` header names the server at `host`:`port`:
/// 127.0.0.1 and localhost always do, in any case; `host` too. IPv6
/// addresses stand in brackets. ("localhost:8080", "127.0.0.1", 8080) ->
/// true; ("evil.example:8080", ...) and ("127.0.0.1:8081", ...) -> false.
bool IsServerHost(const std::string& header, const std::string& host, int port);
