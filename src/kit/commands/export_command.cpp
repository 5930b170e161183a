#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include "kit/pictures/export.h"

void AddExportCommand(CLI::App& app, ExportOptions& options, KitJob& job) {
  CLI::App* command =
      app.add_subcommand("export", "Write a TMF image with its TLF palette as an indexed PNG");
  command->add_option("image", options.image, "the TMF image")->required();
  command->add_option("palette", options.palette, "the TLF palette")->required();
  command->add_option("-o,--output", options.output, "the PNG picture to write")->required();
  command->add_flag("--force", options.force, "replace a PNG picture that exists");
  command->callback([&options, &job] { job = [&options] { return RunExport(options); }; });
}
