#include "project/picture_project_cache.h"

const CPictureProject* CPictureProjectCache::Get(const std::string& tpfPath, bool& loaded) {
  const auto [entry, inserted] = m_mapProjects.try_emplace(tpfPath);
  CEntry& cached = entry->second;
  if (inserted) cached.loaded = cached.project.Load(tpfPath);
  loaded = cached.loaded;
  return &cached.project;
}
