#include "kit/pictures/sync.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

#include "anime/anime_file.h"
#include "kit/common/diagnostics.h"
#include "kit/common/settings_trouble.h"
#include "kit/common/staged_files.h"
#include "kit/pictures/sync_project.h"
#include "path/file_system.h"
#include "path/path_utils.h"

namespace fs = std::filesystem;

namespace {

void AddOnce(std::vector<std::string>& list, const std::string& path) {
  if (std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
}

// The projects `options` names: a TPF as it stands, a TAF by the projects
// its TPF.<n>.FILE keys name. False after the message.
bool ListProjects(const SyncOptions& options, const CShownPaths& paths,
                  std::vector<std::string>& projects, CSyncReport& report,
                  const CKitReporter& reporter) {
  for (const std::string& file : options.files) {
    AddOnce(report.read, FullPath(file));
    if (fs::path(ToNativePath(file)).extension() == ".tpf") {
      projects.push_back(file);
      continue;
    }
    CAnimeFile anime(reporter.Loader(paths.Name(file)));
    if (!anime.Load(file)) return reporter.Error(paths.Name(file), SettingsFileTrouble(file));
    std::string key;
    std::string raw;
    for (int i = 0; anime.GetSettings()->GetKeyAt(i, key, raw); ++i) {
      std::string project;
      if (CAnimeFile::IsProjectKey(key) && anime.GetString(key, project))
        projects.push_back(project);
    }
  }
  // A project named twice, in any spelling, is synced once.
  std::vector<std::string> distinct;
  for (const std::string& project : projects) {
    const bool known = std::any_of(distinct.begin(), distinct.end(), [&](const std::string& seen) {
      return NamesSameFile(seen, project);
    });
    if (!known) distinct.push_back(project);
  }
  projects = std::move(distinct);
  return true;
}

// The art files `project` records, full paths: what no target may be.
void AddArt(const CSyncProject& project, std::vector<std::string>& art) {
  for (const auto& [number, picture] : project.art.pictures)
    AddOnce(art, FullPath(ArtPath(project.dir, picture.path)));
  if (!project.art.sheet) return;
  AddOnce(art, FullPath(ArtPath(project.dir, project.art.sheet->source.path)));
  if (project.art.sheet->image)
    AddOnce(art, FullPath(ArtPath(project.dir, project.art.sheet->image->path)));
}

}  // namespace

bool LoadSyncProject(const std::string& tpf, const CShownPaths& paths, CSyncProject& project,
                     const CKitReporter& reporter) {
  project.tpf = tpf;
  if (!project.project.Load(tpf)) return reporter.Error(paths.Name(tpf), SettingsFileTrouble(tpf));
  project.dir = std::string(project.project.GetSettings()->Find("TPF_DIR").value_or(""));
  project.art = ReadProjectArt(*project.project.GetSettings());
  return true;
}

CImageOwner FindImageOwner(const std::string& tmf) {
  CImageOwner owner;
  const std::string folder = fs::path(ToNativePath(tmf)).parent_path().string();
  std::vector<std::string> tpfs;
  VisitDirectory(folder, [&tpfs](const std::string& name) {
    if (name.ends_with(".tpf")) tpfs.push_back(name);
  });
  std::sort(tpfs.begin(), tpfs.end());
  for (const std::string& name : tpfs) {
    auto project = std::make_unique<CSyncProject>();
    project->tpf = (fs::path(folder) / name).string();
    if (!project->project.Load(project->tpf)) continue;
    project->dir = std::string(project->project.GetSettings()->Find("TPF_DIR").value_or(""));
    project->art = ReadProjectArt(*project->project.GetSettings());
    if (project->art.Empty()) continue;
    for (const CPictureEntry& entry : project->project.GetEntries()) {
      std::string found;
      if (entry.fields.size() < 3 ||
          !SearchFile(found, project->project.GetTmfDir(), entry.fields[1]) ||
          !NamesSameFile(found, tmf))
        continue;
      owner.number = entry.number;
      owner.project = std::move(project);
      return owner;
    }
  }
  return owner;
}

std::vector<std::unique_ptr<CFolderLock>> LockFolders(std::vector<std::string> folders) {
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  std::vector<std::unique_ptr<CFolderLock>> locks;
  for (const std::string& folder : folders) {
    locks.push_back(std::make_unique<CFolderLock>());
    locks.back()->Lock(folder);
  }
  return locks;
}

std::string FullPath(std::string path) {
  MakeFullPath(path);
  return path;
}

bool WriteIfChanged(CSyncRun& run, const std::string& target, std::string_view bytes,
                    const std::string& line) {
  const std::string full = FullPath(target);
  if (!run.files.Plan({full})) return false;
  const size_t staged = run.files.GetStaged().size();
  if (!run.files.StageChanged(full, bytes)) return false;
  if (run.files.GetStaged().size() != staged) run.made.push_back(line);
  return true;
}

bool SyncProjects(const SyncOptions& options, CSyncReport& report,
                  const CKitReporter& reporter) {
  if (options.files.empty()) return true;
  const CShownPaths paths(options.files.front());
  std::vector<std::string> tpfs;
  if (!ListProjects(options, paths, tpfs, report, reporter)) return false;
  std::vector<std::unique_ptr<CSyncProject>> projects;
  std::vector<std::string> art;
  std::vector<std::string> folders;
  for (const std::string& tpf : tpfs) {
    auto project = std::make_unique<CSyncProject>();
    if (!LoadSyncProject(tpf, paths, *project, reporter)) return false;
    // A project an animation names may record no art; one named itself
    // is meant to.
    const bool named = std::find(options.files.begin(), options.files.end(), tpf) !=
                       options.files.end();
    if (named && project->art.Empty())
      reporter.Warning(paths.Name(tpf),
                       "records no art, so there is nothing to sync (flipdeck-kit new records "
                       "the art of the projects it makes)");
    AddOnce(report.read, FullPath(tpf));
    AddArt(*project, art);
    AddOnce(folders, project->dir);
    projects.push_back(std::move(project));
  }
  for (const std::string& file : art) AddOnce(report.read, file);
  const auto locks = LockFolders(folders);
  CStagedFiles files(art, reporter);
  CSyncRun run{files, paths, reporter, options.force, {}};
  for (const auto& project : projects) {
    const bool synced = project->art.sheet ? SyncSheetProject(*project, run)
                                           : SyncPictureProject(*project, run);
    if (!synced) return false;
  }
  if (!files.Commit()) return false;
  report.made = std::move(run.made);
  for (const std::string& written : files.GetStaged()) report.written.push_back(written);
  for (const std::string& removed : files.GetRemoved()) report.written.push_back(removed);
  return true;
}

int RunSync(const SyncOptions& options) {
  CSyncReport report;
  if (!SyncProjects(options, report)) return 1;
  for (const std::string& line : report.made) std::cout << line << "\n";
  return 0;
}
