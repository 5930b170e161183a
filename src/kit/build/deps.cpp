#include "kit/build/deps.h"

#include <algorithm>
#include <iostream>
#include <set>
#include <string_view>

#include "anime/anime_file.h"
#include "anime/outputs_apart.h"
#include "kit/build/depfile_spelling.h"
#include "kit/common/art_record.h"
#include "kit/common/diagnostics.h"
#include "kit/common/picture_uses.h"
#include "kit/common/settings_trouble.h"
#include "kit/common/shown_paths.h"
#include "kit/common/staged_files.h"
#include "path/file_system.h"
#include "path/path_utils.h"
#include "project/picture_library.h"

namespace {

// Adds the full path of `path` unless it is there already; with `existing`
// only when it is there.
void AddInput(std::vector<std::string>& inputs, std::string path, bool existing = false) {
  if (path.empty() || !MakeFullPath(path) || (existing && !GetFileStatus(path).exists)) return;
  if (std::find(inputs.begin(), inputs.end(), path) == inputs.end())
    inputs.push_back(std::move(path));
}

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

// The art the projects record of each picture that shares a palette with
// one the conversion loads, and the sheets whose pictures it loads: sync
// makes them again before a conversion, and a new colour in any of them may
// change a palette the C holds.
void AddArt(CPictureLibrary& library, const std::set<std::string>& projects,
            const std::set<std::string>& palettes, std::vector<std::string>& inputs) {
  for (const std::string& path : projects) {
    bool loaded = false;
    const CPictureProject& project = library.GetProject(path, loaded);
    const CProjectArt art = ReadProjectArt(*project.GetSettings());
    const std::string dir(project.GetSettings()->Find("TPF_DIR").value_or(""));
    if (art.sheet) {
      AddInput(inputs, ArtPath(dir, art.sheet->source.path), true);
      if (art.sheet->image) AddInput(inputs, ArtPath(dir, art.sheet->image->path), true);
    }
    for (const CPictureEntry& entry : project.GetEntries()) {
      const auto recorded = art.pictures.find(entry.number);
      CPictureInfo info;
      if (recorded == art.pictures.end() || entry.fields.size() < 3 ||
          !project.Lookup(entry.fields[0], info))
        continue;
      std::string tmf;
      std::string tlf;
      library.FindFiles(path, info, tmf, tlf);
      if (palettes.count(tlf) != 0) AddInput(inputs, ArtPath(dir, recorded->second.path), true);
    }
  }
}

// Shows an output flipdeck would refuse in the kit's shape:
// "flipdeck-kit: error: walk.taf: is both input and output, which flipdeck refuses".
bool ReportRefusedOutput(const std::string& path, std::string_view reason) {
  return ReportKitError(path, std::string(reason) + ", which flipdeck refuses");
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
  std::set<std::string> projects;
  std::set<std::string> palettes;
  for (const CPictureUse& use : ListPictureUses(anime)) {
    if (!use.reached) continue;
    const CResolvedPicture resolved = ResolvePicture(anime, library, use.project, use.picture);
    if (resolved.stop != CResolvedPicture::Stop::kNone) continue;
    AddInput(inputs, resolved.tmfPath);
    AddInput(inputs, resolved.tlfPath);
    projects.insert(resolved.projectPath);
    if (!resolved.tlfPath.empty()) palettes.insert(resolved.tlfPath);
  }
  AddArt(library, projects, palettes, inputs);
  return inputs;
}

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
