#include "anime/picture_emission.h"

#include <utility>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "project/picture_library.h"

CPictureEmitter::CPictureEmitter(CAnimeFile& anime, CPictureLibrary& library, CCOutput& out,
                                 EmissionWords words, bool verbose)
    : m_anime(anime),
      m_library(library),
      m_out(out),
      m_words(std::move(words)),
      m_bVerbose(verbose) {}

std::string CPictureEmitter::MakeName(const std::string& prefix, int32_t project, int32_t count) {
  std::string name = prefix + std::to_string(project) + std::to_string(count);
  if (m_setNames.count(name) != 0)
    name = prefix + std::to_string(project) + "_" + std::to_string(count);
  m_setNames.insert(name);
  return name;
}

const CTexViewCmd* CPictureEmitter::Emit(int32_t project, const std::string& picture) {
  // A picture resolved before gets what it got then: everything on the way
  // (project, lookup, search, names) gives the same again and prints nothing.
  const std::string shownKey = std::to_string(project) + "," + picture;
  if (const auto shown = m_mapShown.find(shownKey); shown != m_mapShown.end())
    return &shown->second;
  const std::string projectKey = "TPF." + std::to_string(project) + ".FILE";
  std::string projectPath;
  if (!m_anime.GetString(projectKey, projectPath)) {
    ReportError(projectKey + m_words.missingProject);
    return nullptr;
  }

  bool loaded = false;
  const CPictureProject& pictures = m_library.GetProject(projectPath, loaded);
  // Not fatal by itself: the lookup below then fails with its own message.
  if (!loaded) ReportError("[" + projectPath + "] can not open");

  CPictureInfo info;
  if (!pictures.Lookup(picture, info)) {
    ReportError(picture + m_words.pictureNotFound);
    return nullptr;
  }

  std::string tmfPath;
  std::string tlfPath;
  m_library.FindFiles(projectPath, info, tmfPath, tlfPath);
  CTexViewCmd cmd;
  if (!EmitFile(FileKind::kTexture, project, tmfPath, cmd.m_strTmfName)) return nullptr;
  if (!EmitFile(FileKind::kPalette, project, tlfPath, cmd.m_strTlfName)) return nullptr;
  cmd.m_nParam = info.m_nParam;
  return &m_mapShown.emplace(shownKey, std::move(cmd)).first->second;
}

bool CPictureEmitter::EmitFile(FileKind kind, int32_t project, const std::string& path,
                               std::string& name) {
  auto found = m_mapEmitted.find(path);
  if (found != m_mapEmitted.end()) {
    name = found->second;
    return true;
  }
  const bool texture = kind == FileKind::kTexture;
  int32_t& count = texture ? m_nTmfCount : m_nTlfCount;
  name = MakeName(texture ? m_words.tmfPrefix : m_words.tlfPrefix, project, count++);
  m_mapEmitted.emplace(path, name);
  if (m_bVerbose) {
    Console() << (texture ? "Texture Data output[" : "Palette Data output[") << path << "]";
    ConsoleLineEnd();
  }
  const bool written = texture ? m_anime.WriteTextureData(m_out, path, name)
                               : m_anime.WritePaletteData(m_out, path, name);
  // Checked after every block, so that a full disk stops the run at once
  // instead of after megabytes of data that go nowhere.
  return written && m_out.CheckWritten();
}
