#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "kit/build/deps.h"
#include "kit/pictures/sync.h"

void AddSyncCommand(CLI::App& app, SyncOptions& options, DepsOptions& listing, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "sync", "Make a project's pictures again from the art that changed (its PNG or sheet)");
  command
      ->add_option("projects", options.files,
                   "TPF projects, or TAF animations: the projects they name")
      ->required();
  command->add_flag("--force", options.force, "replace a sheet's files edited by hand");
  CLI::Option* depfile = command->add_option(
      "--depfile", listing.depfile,
      "with one TAF: then write the files its conversion reads, and the art, as deps does, to "
      "this file, which is also their target: a build's mark that the sync is done (also -MF)");
  command->add_flag("--cmake", listing.cmake, "spell that file as CMake reads it (deps --cmake)")
      ->needs(depfile);
  command->callback([&options, &listing, &job, depfile] {
    if (depfile->count() != 0 && options.files.size() != 1)
      throw CLI::ValidationError("--depfile", "lists the files of one TAF");
    job = [&options, &listing] {
      if (RunSync(options) != 0) return 1;
      if (listing.depfile.empty()) return 0;
      listing.anime = options.files.front();
      listing.output = listing.depfile;
      return RunDeps(listing, std::cout);
    };
  });
}
