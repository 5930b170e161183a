#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include "kit/check/check.h"
#include "kit/preview/preview.h"

void AddPreviewCommand(CLI::App& app, PreviewOptions& options, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "preview", "Write a page that plays an animation as flipdeck's C shows it");
  command->add_option("anime", options.anime, "the TAF animation, read from where flipdeck runs")
      ->required();
  command->add_option("-o,--output", options.output, "the page to write (default: ANIME.html)");
  command->add_option("--gif", options.gif, "also write the animation as an animated GIF");
  command->add_option("--fps", options.fps, "frames a second, on the page and in the GIF")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000));
  command
      ->add_option(
          "--scale", options.scale,
          "screen pixels per picture pixel, on the page and in the GIF (default: the page fits "
          "about 512 pixels, the GIF 1)")
      ->check(CLI::Range(1, 64));
  // The page lists check's messages beside the animation.
  command->callback(
      [&options, &job] { job = [&options] { return RunPreview(options, CheckMessages); }; });
}
