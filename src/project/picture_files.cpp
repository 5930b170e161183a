#include "project/picture_files.h"

#include "path/path_utils.h"

bool FindPictureFiles(const CPictureProject& project, const CPictureInfo& info,
                      std::string& tmfPath, std::string& tlfPath) {
  // The writers pass an unfound path on, and the empty path is what makes
  // the later load report "Cannot open []" instead of opening a stale file.
  tmfPath.clear();
  tlfPath.clear();
  const bool tmfFound = SearchFile(tmfPath, project.GetTmfDir(), info.m_strTmf, true);
  const bool tlfFound = SearchFile(tlfPath, project.GetTlfDir(), info.m_strTlf, true);
  return tmfFound && tlfFound;
}
