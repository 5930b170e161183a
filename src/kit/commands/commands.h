// The command layer of flipdeck-kit: each subcommand's options and help on
// the command line, one small file a subcommand (<name>_command.cpp). A
// command fills its room's plain options struct and leaves the job it runs
// in `job`; the rooms (pictures, check, preview, build) know nothing of the
// command line, so tests call their Run functions directly. Where a job
// needs another room's work (preview and watch list check's messages), the
// command hands it in: rooms never call each other.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct CheckOptions;
struct DepsOptions;
struct ExportOptions;
struct ImportOptions;
struct NewOptions;
struct PreviewOptions;
struct SyncOptions;
struct WatchOptions;

using KitJob = std::function<int()>;

void AddImportCommand(CLI::App& app, ImportOptions& options, KitJob& job);
void AddExportCommand(CLI::App& app, ExportOptions& options, KitJob& job);
void AddNewCommand(CLI::App& app, NewOptions& options, KitJob& job);
void AddCheckCommand(CLI::App& app, CheckOptions& options, KitJob& job);
void AddDepsCommand(CLI::App& app, DepsOptions& options, KitJob& job);
void AddPreviewCommand(CLI::App& app, PreviewOptions& options, KitJob& job);
void AddWatchCommand(CLI::App& app, WatchOptions& options, KitJob& job);
void AddSyncCommand(CLI::App& app, SyncOptions& options, DepsOptions& listing, KitJob& job);

/// The arguments with compilers' spelling of the dependency file option,
/// "-MF FILE" or "-MFFILE", as deps reads it ("--depfile FILE"): the
/// command-line parser takes an option of one dash for one letter.
std::vector<std::string> RespellDepfileOption(int argc, const char* const* argv);
