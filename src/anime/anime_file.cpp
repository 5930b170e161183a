#include "anime/anime_file.h"

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "anime/console.h"
#include "settings/value_integers.h"

namespace {

bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a decimal integer the way scanf's "%d" does: white space skipped,
// an optional sign, then digits. Saturates instead of overflowing. Returns
// false (and leaves `pos` where it was) when no digit follows.
bool ScanDecimal(std::string_view text, size_t& pos, int32_t& value) {
  size_t i = pos;
  while (i < text.size() && IsScanSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1)
      magnitude = static_cast<long long>(INT_MAX) + 1;
  }
  long long signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT_MAX) signedValue = INT_MAX;
  value = static_cast<int32_t>(signedValue);
  pos = i;
  return true;
}

// The decimal reading of a key-frame field: like ScanDecimal, no digits give 0.
int32_t FieldInteger(std::string_view field) {
  size_t pos = 0;
  int32_t value = 0;
  return ScanDecimal(field, pos, value) ? value : 0;
}

// The fields of a key-frame value: runs of commas and tabs separate, blanks
// belong to the fields. ",,5,2,run" -> 5, 2, run.
std::vector<std::string_view> SplitKeyFrameFields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ',' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    size_t end = i;
    while (end < text.size() && text[end] != ',' && text[end] != '\t') ++end;
    fields.push_back(text.substr(i, end - i));
    i = end;
  }
  return fields;
}

}  // namespace

CAnimeFile::~CAnimeFile() { Free(); }

bool CAnimeFile::Load(const std::string& tafPath) {
  Free();
  m_pSettings = std::make_unique<CKeyValueFile>();
  return m_pSettings->Load(tafPath);
}

void CAnimeFile::Free() { m_pSettings.reset(); }

bool CAnimeFile::GetString(const std::string& key, std::string& value) const {
  if (!m_pSettings) return false;
  std::string raw;
  if (!m_pSettings->Lookup(key, raw)) return false;
  return m_pSettings->Expand(raw, value);
}

bool CAnimeFile::GetInt(const std::string& key, int32_t& value) const {
  if (!m_pSettings) return false;
  std::string raw;
  if (!m_pSettings->Lookup(key, raw)) return false;
  value = ReadStreamInt(raw);
  return true;
}

bool CAnimeFile::GetFrameKey(int index, int32_t& frame, int32_t& project,
                             std::string& picture) const {
  std::string value;
  if (!GetString("FRAME_KEY" + std::to_string(index), value)) return false;
  const std::vector<std::string_view> fields = SplitKeyFrameFields(value);
  if (fields.size() >= 1) frame = FieldInteger(fields[0]);
  if (fields.size() >= 2) project = FieldInteger(fields[1]);
  if (fields.size() < 3) return false;
  picture.assign(fields[2]);
  return true;
}

bool CAnimeFile::GetCameraKey(const std::string& key, int32_t& x, int32_t& y, int32_t& project,
                              std::string& picture, bool verbose) const {
  if (key.compare(0, 4, "CAM.") != 0) return false;

  // "CAM.<x>.<y>": a number the key does not hold keeps the caller's value.
  const std::string_view position = std::string_view(key).substr(4);
  size_t pos = 0;
  if (ScanDecimal(position, pos, x) && pos < position.size() && position[pos] == '.') {
    ++pos;
    ScanDecimal(position, pos, y);
  }

  if (verbose) {
    // The console prints integers in hexadecimal since the banner.
    Console() << "DEBUG: Camera(" << x << "," << y << ")";
    ConsoleLineEnd();
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
  while (pos < value.size() && IsScanSpace(value[pos])) ++pos;
  size_t end = pos;
  while (end < value.size() && !IsScanSpace(value[end])) ++end;
  picture = value.substr(pos, end - pos);
  return true;
}
