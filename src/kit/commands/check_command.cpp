#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "kit/check/check.h"

void AddCheckCommand(CLI::App& app, CheckOptions& options, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "check",
      "Report every problem of an animation, as FILE:LINE: error: MESSAGE, and what "
      "flipdeck will do with it");
  command
      ->add_option("anime", options.anime,
                   "the TAF file, read from the working directory as flipdeck reads it")
      ->required();
  command->add_option("--header", options.header, "the header flipdeck's -e would name");
  command->add_flag("--werror", options.werror, "treat warnings as errors");
  command->add_flag("--summary", options.summary,
                    "add a table of the pictures and the bytes their data takes in the C");
  command->callback(
      [&options, &job] { job = [&options] { return RunCheck(options, std::cout); }; });
}
