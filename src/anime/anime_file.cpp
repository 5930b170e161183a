#include "anime/anime_file.h"

#include <string>
#include <string_view>
#include <vector>

#include "anime/console.h"
#include "settings/value_integers.h"

namespace {

// The decimal reading of a key-frame field: like scanf's "%d", no digits give 0.
int32_t FieldInteger(std::string_view field) {
  size_t pos = 0;
  int32_t value = 0;
  return ScanDecimal(field, pos, value) ? value : 0;
}

}  // namespace

bool CAnimeFile::Load(const std::string& tafPath) {
  Free();
  m_pSettings = std::make_unique<CKeyValueFile>();
  return m_pSettings->Load(tafPath);
}

void CAnimeFile::Free() {
  m_pSettings.reset();
  m_library = CPictureLibrary();
  m_mapImages.clear();
  m_mapPalettes.clear();
  m_nKeptBytes = 0;
}

bool CAnimeFile::CommitOutputs() {
  std::string failed;
  if (m_outputs.Commit(failed)) return true;
  // An interrupt ends the process with its own status, which says enough.
  if (failed.empty()) return false;
  // A C file without its header, or a header without its C, would pass for
  // the output of a run that worked.
  m_outputs.Withdraw();
  return ReportError("[" + failed + "] rename failed");
}

bool CAnimeFile::GetString(std::string_view key, std::string& value) const {
  if (!m_pSettings) return false;
  const std::optional<std::string_view> raw = m_pSettings->Find(key);
  return raw && m_pSettings->Expand(*raw, value);
}

bool CAnimeFile::GetInt(const std::string& key, int32_t& value) const {
  if (!m_pSettings) return false;
  const std::optional<std::string_view> raw = m_pSettings->Find(key);
  if (!raw) return false;
  value = ReadStreamInt(*raw);
  return true;
}

bool CAnimeFile::GetFrameKey(int index, int32_t& frame, int32_t& project,
                             std::string& picture) const {
  std::string value;
  if (!GetString("FRAME_KEY" + std::to_string(index), value)) return false;
  std::vector<std::string_view> fields;
  CKeyValueFile::Tokenize(fields, value, ",\t");
  if (fields.size() >= 1) frame = FieldInteger(fields[0]);
  if (fields.size() >= 2) project = FieldInteger(fields[1]);
  if (fields.size() < 3) return false;
  picture = fields[2];
  return true;
}

std::vector<std::string_view> CAnimeFile::GetCameraKeyNames() const {
  if (!m_pSettings) return {};
  return m_pSettings->GetKeysBeginningWith("CAM.");
}

bool CAnimeFile::GetCameraKey(std::string_view key, int32_t& x, int32_t& y, int32_t& project,
                              std::string& picture) const {
  if (!key.starts_with("CAM.")) return false;

  // "CAM.<x>.<y>": a number the key does not hold keeps the caller's value.
  const std::string_view position = key.substr(4);
  size_t pos = 0;
  if (ScanDecimal(position, pos, x) && pos < position.size() && position[pos] == '.') {
    ++pos;
    ScanDecimal(position, pos, y);
  }

  std::string value;
  if (!GetString(key, value)) return false;

  // "<project>,<picture>": the picture is the run of non-blank characters
  // after the comma; without one the name stays empty.
  picture.clear();
  pos = 0;
  if (!ScanDecimal(value, pos, project)) return true;
  if (pos >= value.size() || value[pos] != ',') return true;
  ++pos;
  while (pos < value.size() && IsWhiteSpace(value[pos])) ++pos;
  size_t end = pos;
  while (end < value.size() && !IsWhiteSpace(value[end])) ++end;
  picture = value.substr(pos, end - pos);
  return true;
}
