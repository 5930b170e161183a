#include "kit/build/deps.h"

#include <iostream>
#include <set>
#include <string_view>

#include "anime/anime_file.h"
#include "anime/outputs_apart.h"
#include "kit/build/depfile_spelling.h"
#include "kit/common/conversion_inputs.h"
#include "kit/common/diagnostics.h"
#include "kit/common/settings_trouble.h"
#include "kit/common/shown_paths.h"
#include "kit/common/staged_files.h"
#include "path/file_system.h"

namespace {

// Adds `path`, spelt for the dependency file, to `text`; false after the
// message for a path that make and Ninja cannot both read.
bool AddWord(const std::string& path, DepfileSide side, std::string_view before,
             std::string& text) {
  std::string spelt;
  std::string fault;
  if (!SpellForDepfile(path, side, HostPathStyle(), spelt, fault))
    return ReportKitError(path, fault);
  text.append(before).append(spelt);
  return true;
}

// "OUT.c OUT.h: \\\n IN1 \\\n IN2\n", then "IN1:\n" for each input, as
// compilers' -MP writes them: an input deleted since is then a target
// without a rule, which make takes for one made, and not a file it cannot
// make. False after the message for a path that cannot be written.
bool MakeDepfile(const std::vector<std::string>& targets, const std::vector<std::string>& inputs,
                 std::string& text) {
  for (const std::string& target : targets)
    if (!AddWord(target, DepfileSide::kTarget, text.empty() ? "" : " ", text)) return false;
  text += ":";
  for (const std::string& input : inputs)
    if (!AddWord(input, DepfileSide::kPrerequisite, " \\\n  ", text)) return false;
  text += "\n";
  for (const std::string& input : inputs) {
    // A '%' would make the line one of make's patterns: that input goes
    // without its rule.
    std::string spelt;
    std::string fault;
    if (SpellForDepfile(input, DepfileSide::kTarget, HostPathStyle(), spelt, fault))
      text += "\n" + spelt + ":\n";
  }
  return true;
}


// Shows an output flipdeck would refuse in the kit's shape:
// "flipdeck-kit: error: walk.taf: is both input and output, which flipdeck refuses".
bool ReportRefusedOutput(const std::string& path, std::string_view reason) {
  return ReportKitError(path, std::string(reason) + ", which flipdeck refuses");
}

}  // namespace

int RunDeps(const DepsOptions& options, std::ostream& out) {
  // A build step's dependencies are no use when its conversion is refused.
  if (!CheckOutputsApart(options.anime, options.output, options.header, ReportRefusedOutput))
    return 1;
  CAnimeFile anime(ReportLoaderError);
  if (!anime.Load(options.anime)) {
    ReportKitError(CShownPaths(options.anime).Name(options.anime),
                   SettingsFileTrouble(options.anime));
    return 1;
  }
  if (!CheckOutputsOffInputs(anime, options.output, options.header, ReportRefusedOutput)) return 1;
  const std::vector<std::string> inputs = ConversionInputs(anime, options.anime);
  std::vector<std::string> targets = {options.output};
  if (!options.header.empty()) targets.push_back(options.header);
  std::string text;
  if (!MakeDepfile(targets, inputs, text)) return 1;
  // A backslash before a colon is refused in a path, so each one the text
  // holds escapes the colon after it.
  for (size_t at = text.find("\\:"); options.cmake && at != std::string::npos;
       at = text.find("\\:", at))
    text.erase(at, 1);
  if (options.depfile.empty()) {
    out << text;
    return out.flush() ? 0 : 1;
  }
  CStagedFiles files(inputs);
  return files.Plan({options.depfile}) && files.Stage(options.depfile, text) && files.Commit() ? 0
                                                                                               : 1;
}
