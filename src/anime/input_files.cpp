// The files a conversion reads, gathered before anything is written, so
// that an output named like one of them can be refused before it is
// deleted.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "anime/anime_file.h"
#include "project/picture_library.h"

bool CAnimeFile::IsProjectKey(std::string_view key) {
  constexpr std::string_view kHead = "TPF.";
  constexpr std::string_view kTail = ".FILE";
  if (key.size() <= kHead.size() + kTail.size()) return false;
  if (key.substr(0, kHead.size()) != kHead) return false;
  if (key.substr(key.size() - kTail.size()) != kTail) return false;
  const std::string_view index = key.substr(kHead.size(), key.size() - kHead.size() - kTail.size());
  return std::all_of(index.begin(), index.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> CAnimeFile::GetInputFiles() const {
  std::vector<std::string> files;
  if (!m_pSettings) return files;
  // A library of its own: the writers' one must not see the disk as it is
  // before the outputs go.
  CPictureLibrary library;
  for (const std::string_view key : m_pSettings->GetKeysBeginningWith("TPF.")) {
    std::string projectPath;
    if (!IsProjectKey(key) || !GetString(std::string(key), projectPath)) continue;
    files.push_back(projectPath);
    bool loaded = false;
    const CPictureProject& project = library.GetProject(projectPath, loaded);
    for (const auto& [name, info] : project.GetPictures()) {
      std::string tmfPath;
      std::string tlfPath;
      library.FindFiles(projectPath, info, tmfPath, tlfPath);
      if (!tmfPath.empty()) files.push_back(tmfPath);
      if (!tlfPath.empty()) files.push_back(tlfPath);
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}
