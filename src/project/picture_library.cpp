#include "project/picture_library.h"

#include "path/path_utils.h"

namespace {

// The full path of `name` along `dirList`, searched the first time only.
// The empty path stands for a file that is not there: the writers pass it
// on, and loading it then reports "Cannot open []" instead of opening a
// stale file.
const std::string& FindOnce(std::unordered_map<std::string, std::string>& found,
                            const std::string& dirList, const std::string& name) {
  const auto [entry, isNew] = found.try_emplace(name);
  if (isNew) SearchFile(entry->second, dirList, name);
  return entry->second;
}

}  // namespace

CPictureLibrary::CEntry& CPictureLibrary::GetEntry(const std::string& tpfPath) {
  const auto [entry, isNew] = m_mapProjects.try_emplace(tpfPath);
  if (isNew) entry->second.loaded = entry->second.project.Load(tpfPath);
  return entry->second;
}

const CPictureProject& CPictureLibrary::GetProject(const std::string& tpfPath, bool& loaded) {
  const CEntry& entry = GetEntry(tpfPath);
  loaded = entry.loaded;
  return entry.project;
}

void CPictureLibrary::FindFiles(const std::string& tpfPath, const CPictureInfo& info,
                                std::string& tmfPath, std::string& tlfPath) {
  CEntry& entry = GetEntry(tpfPath);
  tmfPath = FindOnce(entry.tmfFound, entry.project.GetTmfDir(), info.m_strTmf);
  tlfPath = FindOnce(entry.tlfFound, entry.project.GetTlfDir(), info.m_strTlf);
}
