#include "anime/picture_emission.h"

#include <utility>

#include "anime/anime_file.h"
#include "anime/console.h"
#include "project/picture_files.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

CPictureEmitter::CPictureEmitter(CAnimeFile& anime, CCOutput& out, EmissionWords words,
                                 bool verbose)
    : m_anime(anime), m_out(out), m_words(std::move(words)), m_bVerbose(verbose) {}

std::string CPictureEmitter::MakeName(const std::string& prefix, int32_t project, int32_t count) {
  std::string name = prefix + std::to_string(project) + std::to_string(count);
  if (m_setNames.count(name) != 0)
    name = prefix + std::to_string(project) + "_" + std::to_string(count);
  m_setNames.insert(name);
  return name;
}

bool CPictureEmitter::Emit(int32_t project, const std::string& picture, CTexViewCmd& cmd) {
  const std::string projectKey = "TPF." + std::to_string(project) + ".FILE";
  std::string projectPath;
  if (!m_anime.GetString(projectKey, projectPath)) {
    ConsoleLineEnd();
    Console() << "err : " << projectKey << m_words.missingProject;
    ConsoleLineEnd();
    return false;
  }

  bool loaded = false;
  const CPictureProject& pictures = *m_projects.Get(projectPath, loaded);
  if (!loaded) {
    // Not fatal by itself: the lookup below then fails with its own message.
    ConsoleLineEnd();
    Console() << "err : [" << projectPath << "] can not open";
    ConsoleLineEnd();
  }

  CPictureInfo info;
  if (!pictures.Lookup(picture, info)) {
    ConsoleLineEnd();
    Console() << "err : " << picture << m_words.pictureNotFound;
    ConsoleLineEnd();
    return false;
  }

  // A file that is not found keeps the empty path; loading it then fails
  // with the "Cannot open []" message the user can act on.
  std::string tmfPath;
  std::string tlfPath;
  FindPictureFiles(pictures, info, tmfPath, tlfPath);

  if (!EmitFile(FileKind::kTexture, project, tmfPath, cmd.m_strTmfName)) return false;
  if (!EmitFile(FileKind::kPalette, project, tlfPath, cmd.m_strTlfName)) return false;
  cmd.m_nParam = info.m_nParam;
  return true;
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
  const bool written = texture ? m_anime.WriteTextureData(m_out.Stream(), path, name)
                               : m_anime.WritePaletteData(m_out.Stream(), path, name);
  // Checked after every block, so that a full disk stops the run at once
  // instead of after megabytes of data that go nowhere.
  return written && m_out.CheckWritten();
}

bool CAnimeFile::WriteTextureData(std::ostream& out, const std::string& tmfPath,
                                  const std::string& name) {
  CTmfImage image;
  if (!image.Load(tmfPath)) {
    ConsoleLineEnd();
    Console() << "err : Cannot open [" << tmfPath << "] \n";
    return false;
  }
  std::string declText;
  std::string defText;
  if (!image.WriteStruct(declText, defText, 1, false, true, name)) {
    ConsoleLineEnd();
    Console() << "err : ";
    ConsoleLineEnd();
    Console() << "create Texture Image data in [" << tmfPath << "]\n";
    return false;
  }
  WriteLineEnd(out);
  WriteText(out, declText);
  WriteLineEnd(out);
  WriteText(out, defText);
  return true;
}

bool CAnimeFile::WritePaletteData(std::ostream& out, const std::string& tlfPath,
                                  const std::string& name) {
  CTlfPalette palette;
  if (!palette.Load(tlfPath)) {
    ConsoleLineEnd();
    Console() << "err : [" << tlfPath << "] can not open\n";
    return false;
  }
  std::string declText;
  std::string defText;
  if (!palette.WriteData(declText, defText, 1, false, true, name)) {
    ConsoleLineEnd();
    Console() << "err : create Palette data in [" << tlfPath << "]\n";
    return false;
  }
  WriteLineEnd(out);
  WriteText(out, defText);
  return true;
}
