#include "kit/commands/kit.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "kit/build/deps.h"
#include "kit/check/check.h"
#include "kit/commands/commands.h"
#include "kit/common/diagnostics.h"
#include "kit/pictures/export.h"
#include "kit/pictures/import.h"
#include "kit/pictures/new.h"
#include "kit/pictures/sync.h"
#include "kit/preview/preview.h"
#include "kit/preview/watch.h"

namespace {

// Exit statuses of the program.
constexpr int kBadCommandLine = 2;

// "import, export, new, preview": the commands `app` knows.
std::string CommandNames(CLI::App& app) {
  std::string names;
  for (const CLI::App* command : app.get_subcommands({}))
    names += (names.empty() ? "" : ", ") + command->get_name();
  return names;
}

}  // namespace

int RunKit(int argc, const char* const* argv) {
  CLI::App app{"flipdeck-kit: the companion of flipdeck, from PNG pictures to a project and back",
               "flipdeck-kit"};
  app.set_version_flag("--version", "flipdeck-kit " FLIPDECK_VERSION);
  // At most one command: a word that names none is then an extra argument,
  // which the error names.
  app.require_subcommand(0, 1);

  // Each subcommand fills its options and leaves the job it runs here.
  KitJob job;
  ImportOptions import;
  AddImportCommand(app, import, job);
  ExportOptions exportOptions;
  AddExportCommand(app, exportOptions, job);
  NewOptions newOptions;
  AddNewCommand(app, newOptions, job);
  SyncOptions sync;
  DepsOptions syncListing;
  AddSyncCommand(app, sync, syncListing, job);
  CheckOptions check;
  AddCheckCommand(app, check, job);
  DepsOptions deps;
  AddDepsCommand(app, deps, job);
  PreviewOptions preview;
  AddPreviewCommand(app, preview, job);
  WatchOptions watch;
  AddWatchCommand(app, watch, job);

  const std::vector<std::string> args = RespellDepfileOption(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    // --help and --version are parse "errors" that succeed.
    const int status = app.exit(error);
    return status == 0 ? 0 : kBadCommandLine;
  }
  if (!job) {
    std::cerr << "A command is required: " << CommandNames(app) << "\n"
              << "Run with --help for more information.\n";
    return kBadCommandLine;
  }
  return job();
}
