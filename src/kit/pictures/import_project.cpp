#include "kit/pictures/import_project.h"

#include <algorithm>
#include <iostream>

#include "kit/common/diagnostics.h"
#include "kit/common/regular_file.h"
#include "kit/common/shown_paths.h"
#include "path/path_utils.h"

CProjectImports::CProjectImports(const ImportOptions& options) : m_plain(options) {
  // An import that asks for a palette or entries of its own leaves the
  // projects out, as it leaves them their palettes.
  if (!options.palette.empty() || !options.shared.empty() || options.ia16 || options.bits != 0)
    return;
  m_plain.pictures.clear();
  for (const std::string& picture : options.pictures) {
    CImageOwner owner = FindImageOwner(ImportTarget(picture, options.outDir, ".tmf"));
    if (!owner.project || !owner.project->art.sharedPalette) {
      m_plain.pictures.push_back(picture);
      if (owner.project) m_recorded.push_back(picture);
      continue;
    }
    const auto known = std::find_if(m_owned.begin(), m_owned.end(), [&](const COwned& owned) {
      return NamesSameFile(owned.project->tpf, owner.project->tpf);
    });
    COwned& owned = known != m_owned.end() ? *known : m_owned.emplace_back();
    if (!owned.project) owned.project = std::move(owner.project);
    owned.pictures[owner.number] = {picture, ""};
  }
}

bool CProjectImports::IsRecorded(const std::string& picture) const {
  return std::find(m_recorded.begin(), m_recorded.end(), picture) != m_recorded.end();
}

std::vector<std::string> CProjectImports::Inputs() const {
  std::vector<std::string> inputs;
  for (const COwned& owned : m_owned)
    for (const auto& [number, picture] : owned.pictures) inputs.push_back(picture.name);
  return inputs;
}

bool CProjectImports::Import(CStagedFiles& files) {
  if (m_owned.empty()) return true;
  std::vector<std::string> folders;
  for (const COwned& owned : m_owned) folders.push_back(owned.project->dir);
  m_locks = LockFolders(folders);
  const CShownPaths paths(m_owned.front().pictures.begin()->second.name);
  const CKitReporter console;
  CSyncRun run{files, paths, console, false, {}};
  for (COwned& owned : m_owned) {
    for (auto& [number, picture] : owned.pictures) {
      if (!CheckRegularFile(picture.name, "a PNG file")) return false;
      if (!ReadWholeFile(picture.name, picture.bytes))
        return ReportKitError(picture.name, "cannot open the file");
    }
    if (!SyncPictureProject(*owned.project, run, &owned.pictures)) return false;
    const CPictureProject& project = owned.project->project;
    for (const auto& [number, picture] : owned.pictures) {
      std::string palette = "the palette";
      for (const CPictureEntry& entry : project.GetEntries())
        if (entry.number == number && entry.fields.size() >= 3) palette = entry.fields[2];
      m_told.push_back(picture.name + ": imported through " + palette + ", the palette " +
                       paths.Name(owned.project->tpf) +
                       " shares among its pictures (--palette or --shared choose another)");
    }
  }
  m_told.insert(m_told.end(), run.made.begin(), run.made.end());
  return true;
}

void CProjectImports::Tell() const {
  for (const std::string& line : m_told) std::cout << line << "\n";
}
