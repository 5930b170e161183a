#include <CLI/CLI.hpp>

#include <iostream>

#include "kit/check/check.h"
#include "kit/commands/commands.h"
#include "kit/common/diagnostics.h"
#include "kit/pictures/sync.h"
#include "kit/preview/watch.h"

namespace {

// The sync step of watch: `flipdeck-kit sync ANIME.taf` before each read.
// Its messages go to the console, as sync's do, and, should it fail, to
// the page's panel as well, in check's shape (`walk3.png: error: ...`):
// that is where the artist who saved the PNG is looking.
CArtSync SyncProjectArt(const std::string& anime) {
  std::vector<std::string> lines;
  const CKitReporter console;
  const CKitReporter reporter(
      [&lines, &console](std::string_view level, std::string_view file, std::string_view what) {
        lines.push_back(std::string(file) + ": " + std::string(level) + ": " + std::string(what));
        if (level == "warning") return console.Warning(file, what);
        console.Error(file, what);
      });
  CSyncReport report;
  const bool synced = SyncProjects({{anime}, false}, report, reporter);
  for (const std::string& line : report.made) std::cout << line << "\n";
  CArtSync step{std::move(report.read), std::move(report.written), {}};
  if (synced) return step;
  step.problems = std::move(lines);
  // The panel must say that the sync failed even when sync said nothing.
  AddErrorIfNone(step.problems, anime + ": error: its art could not be synced; nothing written");
  return step;
}

}  // namespace

void AddWatchCommand(CLI::App& app, WatchOptions& options, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "watch", "Serve a page that plays an animation and follows every save of its files");
  command->add_option("anime", options.anime, "the TAF animation, read from where flipdeck runs")
      ->required();
  command->add_option("--port", options.port, "the port to listen on (default: a free one)")
      ->check(CLI::Range(0, 65535));
  command
      ->add_option("--host", options.host,
                   "the address to listen on; any but a loopback one lets other machines in")
      ->capture_default_str();
  command->add_option("--fps", options.fps, "frames a second the page starts with")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000));
  command
      ->add_option("--scale", options.scale,
                   "screen pixels per picture pixel (default: fit about 512 pixels)")
      ->check(CLI::Range(1, 64));
  command->add_flag("--open", options.open, "open the page in the desktop's browser");
  // watch lists check's messages, and syncs the art before each read.
  command->callback([&options, &job] {
    job = [&options] { return RunWatch(options, {CheckMessages, SyncProjectArt}); };
  });
}
