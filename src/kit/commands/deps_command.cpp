#include "kit/commands/commands.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

#include "kit/build/deps.h"

std::vector<std::string> RespellDepfileOption(int argc, const char* const* argv) {
  std::vector<std::string> args(argv, argv + argc);
  for (std::string& arg : args) {
    if (arg == "-MF")
      arg = "--depfile";
    else if (arg.starts_with("-MF"))
      arg = "--depfile=" + arg.substr(3);
  }
  return args;
}

void AddDepsCommand(CLI::App& app, DepsOptions& options, KitJob& job) {
  CLI::App* command = app.add_subcommand(
      "deps", "Write the files a conversion reads as a dependency file for make and Ninja");
  command
      ->add_option("anime", options.anime,
                   "the TAF file, read from the working directory as flipdeck reads it")
      ->required();
  command->add_option("-o,--output", options.output, "the C file flipdeck writes (-o)")->required();
  command->add_option("-e,--header", options.header, "the header flipdeck writes (-e)");
  command->add_option("--depfile", options.depfile,
                      "write the dependency file here instead of to standard output (also -MF)");
  command->add_flag("--cmake", options.cmake,
                    "spell it as CMake reads a custom command's DEPFILE: colons bare");
  command->callback([&options, &job] { job = [&options] { return RunDeps(options, std::cout); }; });
}
