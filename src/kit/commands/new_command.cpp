#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include "kit/pictures/new.h"

void AddNewCommand(CLI::App& app, NewOptions& options, KitJob& job) {
  CLI::App* command =
      app.add_subcommand("new", "Make a project of PNG pictures that flipdeck converts at once");
  command->add_option("name", options.name, "the project's name: NAME.taf, NAME.tpf")->required();
  command->add_option("pictures", options.pictures, "PNG pictures, in the order they show")
      ->required();
  command
      ->add_option("--frames", options.frames,
                   "frames each picture is on view: N for all, or N1,N2,... one each")
      ->capture_default_str();
  command->add_option("--out-dir", options.outDir, "write the project here");
  command->add_flag("--force", options.force, "replace files that exist");
  command->callback([&options, &job] { job = [&options] { return RunNew(options); }; });
}
