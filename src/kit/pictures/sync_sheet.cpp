// sync of a sheet's project: when the sheet's JSON or PNG changed, the
// project is made again as new made it, from the options it records,
// through the palette it has, and only the files whose bytes change are
// written. A TPF or TAF edited by hand since the kit wrote it is not
// replaced without --force; the TAF of a tag the sheet no longer has, and
// the image of a picture no frame shows any more, go.
#include <algorithm>
#include <filesystem>

#include "kit/common/diagnostics.h"
#include "kit/common/staged_files.h"
#include "kit/pictures/sheet_project.h"
#include "kit/pictures/sync_project.h"
#include "path/file_system.h"
#include "path/path_utils.h"
#include "texture/tlf_palette.h"

namespace fs = std::filesystem;

namespace {

// The options new was given, as the project records them.
NewOptions RecordedOptions(const CSyncProject& project, const CShownPaths& paths) {
  const CSheetArt& sheet = *project.art.sheet;
  const fs::path tpf(ToNativePath(project.tpf));
  NewOptions options;
  options.name = tpf.stem().string();
  options.outDir = tpf.parent_path().string();
  options.fps = sheet.fps;
  const std::string source = paths.Name(ArtPath(project.dir, sheet.source.path));
  if (sheet.cellWidth == 0) {
    options.sheet = source;
    return options;
  }
  options.grid = std::to_string(sheet.cellWidth) + "x" + std::to_string(sheet.cellHeight);
  options.duration = sheet.duration;
  options.pictures = {source};
  return options;
}

// Whether the sheet's files are the ones the project was made from; a
// missing one is told, and leaves the project as it is.
bool IsSheetUnchanged(const CSyncProject& project, const CSyncRun& run) {
  const CSheetArt& sheet = *project.art.sheet;
  std::vector<const CRecordedFile*> files = {&sheet.source};
  if (sheet.image) files.push_back(&*sheet.image);
  bool unchanged = true;
  for (const CRecordedFile* file : files) {
    const std::string path = ArtPath(project.dir, file->path);
    const ArtState state = CompareArt(path, file->print, project.tpf);
    if (state == ArtState::kMissing) {
      run.reporter.Warning(run.paths.Name(path), "is missing, so the project " +
                                                     run.paths.Name(project.tpf) +
                                                     " made from it stays as it is");
      return true;
    }
    unchanged = unchanged && state == ArtState::kUnchanged;
  }
  return unchanged;
}

class CSheetSync {
 public:
  CSheetSync(const CSyncProject& project, CSyncRun& run)
      : m_project(project),
        m_run(run),
        m_options(RecordedOptions(project, run.paths)),
        m_source(m_options.grid.empty() ? m_options.sheet : m_options.pictures.front()) {}

  bool Make();

 private:
  // Hands one file of the project on to the run, unless it was edited by
  // hand and would change.
  bool Write(const std::string& target, const std::string& bytes);
  // Deletes what the project made before and makes no more.
  void RemoveLeftBehind(const std::vector<std::string>& targets);

  const CSyncProject& m_project;
  CSyncRun& m_run;
  NewOptions m_options;
  std::string m_source;  // the sheet, as messages name it
};

bool CSheetSync::Write(const std::string& target, const std::string& bytes) {
  const std::string shown = m_run.paths.Name(target);
  const std::string line = shown + ": made again from " + m_source;
  const std::string extension = fs::path(target).extension().string();
  std::string held;
  if ((extension == ".tpf" || extension == ".taf") && !m_run.force &&
      ReadWholeFile(target, held) && held != bytes && !IsAsSynced(held)) {
    // What the kit would write is what it wrote last: the edit stays.
    if (SyncedPrint(held) == SyncedPrint(bytes)) return true;
    return m_run.reporter.Error(shown,
                                "was edited by hand since flipdeck-kit wrote it, and the sheet "
                                "changed: to keep the edit, save the file under another name (or "
                                "make the change in the sheet); to drop it, run flipdeck-kit "
                                "sync --force; nothing written");
  }
  return WriteIfChanged(m_run, target, bytes, line);
}

void CSheetSync::RemoveLeftBehind(const std::vector<std::string>& targets) {
  std::vector<std::string> made;
  for (const std::string& target : targets) made.push_back(FullPath(target));
  const auto gone = [&made](const std::string& path) {
    return GetFileStatus(path).exists &&
           std::find(made.begin(), made.end(), FullPath(path)) == made.end();
  };
  const CPictureProject& project = m_project.project;
  for (const CPictureEntry& entry : project.GetEntries()) {
    std::string tmf;
    if (entry.fields.size() < 3 || !SearchFile(tmf, project.GetTmfDir(), entry.fields[1]) ||
        !gone(tmf))
      continue;
    m_run.files.RemoveAtCommit(tmf);
    m_run.made.push_back(m_run.paths.Name(tmf) + ": removed: no frame shows it any more");
  }
  // The TAFs of tags the sheet no longer has: those sync wrote for this
  // project, which they name.
  const std::string folder = m_options.outDir;
  const std::string names = "\nTPF.0.FILE = " + m_options.name + ".tpf\n";
  VisitDirectory(folder, [&](const std::string& name) {
    const std::string path = NewTarget(m_options, name);
    std::string text;
    if (!name.ends_with(".taf") || !gone(path) || !ReadWholeFile(path, text) ||
        !SyncedPrint(text) || text.find(names) == std::string::npos)
      return;
    if (!IsAsSynced(text)) {
      m_run.reporter.Warning(m_run.paths.Name(path),
                             "was edited by hand, so it stays, though the sheet has no tag for it "
                             "any more");
      return;
    }
    m_run.files.RemoveAtCommit(FullPath(path));
    m_run.made.push_back(m_run.paths.Name(path) + ": removed: the sheet has no tag for it any more");
  });
}

bool CSheetSync::Make() {
  CLoadedSheet sheet;
  std::vector<CTimedAnimation> animations;
  CSheetProject made;
  // The palette the pictures have keeps its colours where they are; one
  // that cannot be read gives way to a new one.
  CTlfPalette old;
  const bool hasOld =
      old.Load(NewTarget(m_options, m_options.name + ".tlf"), [](auto&&...) {}) &&
      old.GetType() == static_cast<uint32_t>(PaletteType::kRgba5551);
  const CKitReporter& reporter = m_run.reporter;
  if (!LoadSheet(m_options, sheet, reporter) ||
      !TimeAnimations(m_options, sheet.description, animations, reporter) ||
      !FindPictures(m_options, sheet, made, hasOld ? &old : nullptr, reporter))
    return false;
  const std::vector<std::string> targets = SheetTargets(m_options, made, animations);
  const auto write = [this](const std::string& target, const std::string& bytes) {
    return Write(target, bytes);
  };
  if (!WriteSheetProject(m_options, sheet, made, animations, write, reporter)) return false;
  RemoveLeftBehind(targets);
  return true;
}

}  // namespace

bool SyncSheetProject(const CSyncProject& project, CSyncRun& run) {
  if (IsSheetUnchanged(project, run)) return true;
  return CSheetSync(project, run).Make();
}
