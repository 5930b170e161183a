#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include "kit/pictures/new.h"
#include "kit/pictures/sheet_timing.h"

void AddNewCommand(CLI::App& app, NewOptions& options, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "new", "Make a project that flipdeck converts at once, of PNG pictures or a sprite sheet");
  command->add_option("name", options.name, "the project's name: NAME.taf, NAME.tpf")->required();
  CLI::Option* pictures = command->add_option(
      "pictures", options.pictures, "PNG pictures, in the order they show; with --grid, the sheet");
  CLI::Option* frames =
      command
          ->add_option("--frames", options.frames,
                       "frames each picture is on view: N for all, or N1,N2,... one each")
          ->capture_default_str();
  CLI::Option* sheet =
      command->add_option("--sheet", options.sheet,
                          "a sprite sheet's JSON (frames, durations, tags) instead of pictures");
  CLI::Option* grid =
      command->add_option("--grid", options.grid,
                          "WxH: cut the one sheet PNG given into cells of W x H pixels, left to "
                          "right, top to bottom");
  CLI::Option* duration =
      command->add_option("--duration", options.duration, "with --grid, each cell's milliseconds")
          ->capture_default_str();
  CLI::Option* fps =
      command->add_option("--fps", options.fps, "the frame rate a sheet's durations are timed at")
          ->capture_default_str()
          ->check(CLI::Range(kMinSheetFps, kMaxSheetFps));
  command->add_option("--out-dir", options.outDir, "write the project here");
  command->add_flag("--force", options.force, "replace files that exist");
  sheet->excludes(pictures)->excludes(grid)->excludes(frames);
  grid->excludes(frames);
  duration->needs(grid);
  command->callback([&options, &job, pictures, sheet, grid, fps] {
    // What the sheet's JSON does not give, the pictures must.
    if (sheet->count() == 0 && pictures->count() == 0)
      throw CLI::RequiredError("pictures (or --sheet)");
    if (grid->count() != 0 && options.pictures.size() != 1)
      throw CLI::ValidationError("--grid", "takes one sheet PNG");
    if (fps->count() != 0 && sheet->count() == 0 && grid->count() == 0)
      throw CLI::ValidationError("--fps", "times a sheet: give --sheet or --grid");
    job = [&options] { return RunNew(options); };
  });
}
