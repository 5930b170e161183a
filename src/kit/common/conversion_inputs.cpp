#include "kit/common/conversion_inputs.h"

#include <algorithm>
#include <set>

#include "anime/anime_file.h"
#include "kit/common/art_record.h"
#include "kit/common/picture_uses.h"
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

// Adds each place the search of `fileName` along `dirList` tries, in its
// order, up to `found` (all of them when `found` is empty): the name as it
// stands when it has a directory part, then the name in each directory of
// the list that exists.
void AddSearchPlaces(std::vector<std::string>& inputs, const std::string& dirList,
                     const std::string& fileName, const std::string& found) {
  if (std::any_of(fileName.begin(), fileName.end(), IsPathSeparator)) {
    AddInput(inputs, fileName);
    if (!inputs.empty() && inputs.back() == found) return;
  }
  const char separator = PreferredSeparator(HostPathStyle());
  for (const std::string_view entry : SplitDirectoryList(dirList)) {
    std::string place(entry);
    if (!NormalizeDirectory(place)) continue;
    place += separator;
    place += fileName;
    if (!MakeFullPath(place)) continue;
    const bool last = place == found;
    AddInput(inputs, std::move(place));
    if (last) return;
  }
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

// The walk both lists share; `watched` adds what a conversion would read
// if it were there.
std::vector<std::string> ListInputs(const CAnimeFile& anime, const std::string& tafPath,
                                    bool watched) {
  std::vector<std::string> inputs;
  AddInput(inputs, tafPath);
  CPictureLibrary library;
  for (const std::string& projectPath : NamedProjects(anime)) {
    bool loaded = false;
    library.GetProject(projectPath, loaded);
    if (loaded || watched) AddInput(inputs, projectPath);
  }
  std::set<std::string> projects;
  std::set<std::string> palettes;
  for (const CPictureUse& use : ListPictureUses(anime)) {
    if (!use.reached) continue;
    const CResolvedPicture resolved = ResolvePicture(anime, library, use.project, use.picture);
    if (resolved.stop != CResolvedPicture::Stop::kNone) continue;
    projects.insert(resolved.projectPath);
    if (!resolved.tlfPath.empty()) palettes.insert(resolved.tlfPath);
    if (!watched) {
      AddInput(inputs, resolved.tmfPath);
      AddInput(inputs, resolved.tlfPath);
      continue;
    }
    bool loaded = false;
    const CPictureProject& project = library.GetProject(resolved.projectPath, loaded);
    AddSearchPlaces(inputs, project.GetTmfDir(), resolved.info.m_strTmf, resolved.tmfPath);
    AddSearchPlaces(inputs, project.GetTlfDir(), resolved.info.m_strTlf, resolved.tlfPath);
  }
  AddArt(library, projects, palettes, inputs);
  return inputs;
}

}  // namespace

std::vector<std::string> NamedProjects(const CAnimeFile& anime) {
  std::vector<std::string> projects;
  std::string key;
  std::string raw;
  for (int i = 0; anime.GetSettings()->GetKeyAt(i, key, raw); ++i) {
    std::string projectPath;
    if (CAnimeFile::IsProjectKey(key) && anime.GetString(key, projectPath))
      AddInput(projects, projectPath);
  }
  return projects;
}

std::vector<std::string> ConversionInputs(const CAnimeFile& anime, const std::string& tafPath) {
  return ListInputs(anime, tafPath, false);
}

std::vector<std::string> WatchedInputs(const CAnimeFile& anime, const std::string& tafPath) {
  return ListInputs(anime, tafPath, true);
}
