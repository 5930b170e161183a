#include <CLI/CLI.hpp>

#include "kit/check/check.h"
#include "kit/commands/commands.h"
#include "kit/preview/watch.h"

namespace {

// The sync step of watch. Re-importing the art a project records is
// flipdeck-kit sync's work, which is not built yet: until it is, this step
// writes nothing, finds nothing wrong and watches no art, and watch reads
// the TMF and TLF files as they are.
CArtSync SyncProjectArt(const std::vector<std::string>& /*projects*/) { return {}; }

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
  // watch lists check's messages, and syncs the art first (see above).
  command->callback([&options, &job] {
    job = [&options] { return RunWatch(options, {CheckMessages, SyncProjectArt}); };
  });
}
