#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include "kit/pictures/import.h"

void AddImportCommand(CLI::App& app, ImportOptions& options, KitJob& job) {
  CLI::App* command =
      app.add_subcommand("import", "Write a TMF image and a TLF palette for each PNG picture");
  command
      ->add_option("pictures", options.pictures, "PNG pictures (walk1.png -> walk1.tmf, walk1.tlf)")
      ->required();
  command->add_option("--out-dir", options.outDir,
                      "write the files here instead of beside each picture");
  command->add_flag("--ia16", options.ia16,
                    "intensity/alpha palette entries; refuse colours that are not grey");
  command->add_option("--bits", options.bits, "4 or 8 bits a pixel, whatever the palette's size")
      ->check(CLI::IsMember({4, 8}));
  command->add_option("--palette", options.palette,
                      "impose this palette (a TLF file or an indexed PNG): each pixel takes the "
                      "first entry of its colour");
  command->add_option("--shared", options.shared,
                      "build one palette for all the pictures and write it once to this TLF file");
  command->get_option("--palette")->excludes(command->get_option("--shared"));
  command->callback([&options, &job] { job = [&options] { return RunImport(options); }; });
}
