#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include "kit/pictures/sync.h"

void AddSyncCommand(CLI::App& app, SyncOptions& options, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "sync", "Make a project's pictures again from the art that changed (its PNG or sheet)");
  command
      ->add_option("projects", options.files,
                   "TPF projects, or TAF animations: the projects they name")
      ->required();
  command->add_flag("--force", options.force, "replace a sheet's files edited by hand");
  command->callback([&options, &job] { job = [&options] { return RunSync(options); }; });
}
