#include "kit/preview/watch.h"

#include <chrono>
#include <filesystem>
#include <iostream>

#include "kit/common/diagnostics.h"
#include "kit/common/shown_paths.h"
#include "kit/preview/change_loop.h"
#include "kit/preview/live_state.h"
#include "kit/preview/watch_platform.h"
#include "kit/preview/watch_server.h"
#include "path/file_system.h"

namespace {

// Writes less than this far apart are one save: an editor's burst of
// writes, or of files, makes one update.
constexpr std::chrono::milliseconds kQuiet(50);

// The address a browser on this machine opens: an address that stands for
// every one of the machine's is reached through the loopback one.
std::string BrowserHost(const std::string& host) {
  return host == "0.0.0.0" || host == "::" || host.empty() ? "127.0.0.1" : UrlHost(host);
}

// "walk1.tmf" or "walk1.tmf and 2 more files".
std::string NameChanged(const CShownPaths& paths, const std::vector<std::string>& files) {
  std::string text = paths.Name(files.front());
  if (files.size() == 2) text += " and 1 more file";
  if (files.size() > 2) text += " and " + std::to_string(files.size() - 1) + " more files";
  return text;
}

// A run's id: the time it started, which no earlier run of this program
// shares.
std::string RunId() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

bool IsLoopbackHost(const std::string& host) {
  return host.starts_with("127.") || host == "::1" || host == "[::1]" || host == "localhost";
}

int RunWatch(const WatchOptions& options, const CLiveSteps& steps) {
  const CShownPaths paths(options.anime);
  const std::string folder =
      std::filesystem::path(ToNativePath(options.anime)).parent_path().string();
  CLiveAnimation animation(
      options.anime, {PageTitle(options.anime), folder, options.fps, options.scale, {}}, steps);
  CLiveState state(RunId(), animation.EmptyModel());
  CChangeLoop loop(kQuiet);
  const auto take = [&](const CLiveRead& read) {
    state.Publish(read.model, read.problems);
    loop.Watch(read.watched);
    // The sync step's own writes are no change of the artist's.
    loop.Restamp(read.written);
    return read.model != nullptr;
  };
  take(animation.Read());

  CWatchServer server(state, MakeLivePageFrame(PageTitle(options.anime)));
  std::string message;
  if (!server.Listen(options.host, options.port, message)) {
    const std::string port = options.port > 0 ? ":" + std::to_string(options.port) : "";
    ReportKitError(UrlHost(options.host) + port, "cannot listen there: " + message);
    return 1;
  }
  if (!IsLoopbackHost(options.host))
    ReportKitWarning(options.host,
                     "listens beyond this machine: anyone who reaches this address sees the "
                     "animation and the names of its files");
  const std::string url =
      "http://" + BrowserHost(options.host) + ":" + std::to_string(server.Port()) + "/";
  std::cout << "flipdeck-kit: watching " << paths.Name(options.anime) << " at " << url
            << " (Ctrl-C stops)" << std::endl;
  server.Start();
  if (options.open && !loop.Launch(BrowserCommand(url), message))
    ReportKitWarning(url, message + "; open the address in a browser");

  loop.Run([&](const std::vector<std::string>& changed) {
    const bool converts = take(animation.Read());
    std::cout << NameChanged(paths, changed)
              << (converts ? " changed: the page shows the animation"
                           : " changed: the animation does not convert; the page keeps the "
                             "last one that did, under check's messages")
              << std::endl;
  });
  server.Stop();
  return 0;
}
