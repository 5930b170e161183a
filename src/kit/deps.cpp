#include "kit/deps.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>

#include "anime/anime_file.h"
#include "kit/diagnostics.h"
#include "kit/picture_uses.h"
#include "kit/settings_trouble.h"
#include "kit/shown_paths.h"
#include "kit/staged_files.h"
#include "path/file_system.h"
#include "path/path_utils.h"
#include "project/picture_library.h"

namespace {

// Adds the full path of `path` unless it is there already.
void AddInput(std::vector<std::string>& inputs, std::string path) {
  if (path.empty() || !MakeFullPath(path)) return;
  if (std::find(inputs.begin(), inputs.end(), path) == inputs.end())
    inputs.push_back(std::move(path));
}

// "OUT.c OUT.h: \\\n IN1 \\\n IN2\n", every path escaped; false after the
// message for a path that cannot be.
bool MakeDepfile(const std::vector<std::string>& targets, const std::vector<std::string>& inputs,
                 std::string& text) {
  std::string escaped;
  for (const std::string& target : targets) {
    if (!EscapeForMake(target, escaped))
      return ReportKitError(target, "holds a line end, which a dependency file cannot hold");
    text += (text.empty() ? "" : " ") + escaped;
  }
  text += ":";
  for (const std::string& input : inputs) {
    if (!EscapeForMake(input, escaped))
      return ReportKitError(input, "holds a line end, which a dependency file cannot hold");
    text += " \\\n  " + escaped;
  }
  text += "\n";
  return true;
}

}  // namespace

std::vector<std::string> ConversionInputs(const CAnimeFile& anime, const std::string& tafPath) {
  std::vector<std::string> inputs;
  AddInput(inputs, tafPath);
  CPictureLibrary library;
  std::string key;
  std::string raw;
  for (int i = 0; anime.GetSettings()->GetKeyAt(i, key, raw); ++i) {
    std::string projectPath;
    bool loaded = false;
    if (!CAnimeFile::IsProjectKey(key) || !anime.GetString(key, projectPath)) continue;
    library.GetProject(projectPath, loaded);
    if (loaded) AddInput(inputs, projectPath);
  }
  for (const CPictureUse& use : ListPictureUses(anime)) {
    if (!use.reached) continue;
    const CResolvedPicture resolved = ResolvePicture(anime, library, use.project, use.picture);
    if (resolved.stop != CResolvedPicture::Stop::kNone) continue;
    AddInput(inputs, resolved.tmfPath);
    AddInput(inputs, resolved.tlfPath);
  }
  return inputs;
}

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

bool EscapeForMake(const std::string& path, std::string& escaped) {
  escaped.clear();
  for (char c : path) {
    if (c == '\n' || c == '\r') return false;
    if (c == ' ' || c == '#') escaped += '\\';
    if (c == '$') escaped += '$';
    escaped += c;
  }
  return true;
}

void AddDepsCommand(CLI::App& app, DepsOptions& options, std::function<int()>& job) {
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
  command->callback([&options, &job] { job = [&options] { return RunDeps(options, std::cout); }; });
}

int RunDeps(const DepsOptions& options, std::ostream& out) {
  CAnimeFile anime;
  if (!anime.Load(options.anime)) {
    ReportKitError(CShownPaths(options.anime).Name(options.anime),
                   SettingsFileTrouble(options.anime));
    return 1;
  }
  const std::vector<std::string> inputs = ConversionInputs(anime, options.anime);
  std::vector<std::string> targets = {options.output};
  if (!options.header.empty()) targets.push_back(options.header);
  std::string text;
  if (!MakeDepfile(targets, inputs, text)) return 1;
  if (options.depfile.empty()) {
    out << text;
    return out.flush() ? 0 : 1;
  }
  CStagedFiles files(inputs);
  return files.Plan({options.depfile}) && files.Stage(options.depfile, text) && files.Commit() ? 0
                                                                                               : 1;
}
