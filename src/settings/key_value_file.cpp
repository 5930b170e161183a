#include "settings/key_value_file.h"

#include <fstream>
#include <utility>

#include "path/file_system.h"

CKeyValueFile::CKeyValueFile() = default;

CKeyValueFile::~CKeyValueFile() { RemoveAllLines(); }

bool CKeyValueFile::Load(const std::string& path) {
  // A directory opens as a stream on POSIX but is no settings file.
  if (GetFileStatus(path).isDirectory) return false;
  // Binary, so that the line ends are ours to handle: CR LF and LF alike on
  // every system, and no byte (NUL, 0x1A, >= 128) ends the reading early.
  std::ifstream in(ToNativePath(path), std::ios::binary);
  if (!in) return false;
  std::string line;
  // A read error ends the file like its end does.
  while (std::getline(in, line)) AddReadLine(line);
  return true;
}

void CKeyValueFile::LoadFromText(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) {
      AddReadLine(text.substr(start));
      return;
    }
    AddReadLine(text.substr(start, newline - start));
    start = newline + 1;
  }
}

void CKeyValueFile::AddReadLine(std::string_view line) {
  // Files saved on Windows end their lines with CR LF; the CR is part of the
  // line end, not of the text.
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  AddLine(line);
}

int CKeyValueFile::AddLine(std::string_view line) {
  Fields fields;
  if (SplitLine(fields, line) == 3) {
    StoreKeyLine(std::move(fields));
  } else {
    m_lines.push_back(std::move(fields));
  }
  return GetLineCount();
}

void CKeyValueFile::StoreKeyLine(Fields fields) {
  m_mapKeys.Set(fields[0], fields[2]);
  auto [place, isNew] = m_keyLines.try_emplace(fields[0], m_lines.size());
  // A repeated key takes over the line of its first occurrence, so the key
  // keeps its position in the file while the last value wins.
  if (!isNew) {
    m_lines[place->second] = std::move(fields);
    return;
  }
  m_lines.push_back(std::move(fields));
}

bool CKeyValueFile::Lookup(const std::string& key, std::string& value) const {
  const std::string* found = m_mapKeys.Find(key);
  if (found == nullptr) return false;
  value = *found;
  return true;
}

void CKeyValueFile::SetValue(const std::string& key, const std::string& value) {
  AddLine(key + " = " + value);
}

void CKeyValueFile::SetValueVerbatim(const std::string& key, const std::string& value) {
  if (!IsValidKey(key)) return;
  StoreKeyLine(Fields{key, "=", value});
}

void CKeyValueFile::RemoveKey(const std::string& text) {
  // The first line whose first field matches, an other line included: its
  // whole text may equal the key, and then it goes instead of the key line.
  for (size_t i = 0; i < m_lines.size(); ++i) {
    if (!m_lines[i].empty() && m_lines[i][0] == text) {
      RemoveLine(static_cast<int>(i));
      return;
    }
  }
}

void CKeyValueFile::RemoveLine(int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_lines.size()) return;
  const auto removed = static_cast<size_t>(index);
  const Fields& fields = m_lines[removed];
  if (!fields.empty()) m_mapKeys.Remove(fields[0]);
  if (fields.size() == 3) m_keyLines.erase(fields[0]);
  m_lines.erase(m_lines.begin() + index);
  for (auto& [key, line] : m_keyLines) {
    if (line > removed) --line;
  }
}

void CKeyValueFile::RemoveAllLines() {
  // Same outcome as removing the first line until none is left, without
  // moving the rest of the table up for every line.
  for (const Fields& fields : m_lines) {
    if (!fields.empty()) m_mapKeys.Remove(fields[0]);
  }
  m_lines.clear();
  m_keyLines.clear();
}

int32_t CKeyValueFile::ClassifyLine(int index) const {
  const Fields& fields = GetLineFields(index);
  if (fields.empty() || fields[0].empty()) return kOtherLine;
  if (fields[0][0] == '#' || fields[0][0] == ';') return kCommentLine;
  if (fields.size() < 3 || !IsValidKey(fields[0])) return kOtherLine;
  return fields[1] == "=" ? kKeyLine : kOtherLine;
}

int CKeyValueFile::GetLineCount() const { return static_cast<int>(m_lines.size()); }

const std::vector<std::string>& CKeyValueFile::GetLineFields(int index) const {
  static const Fields kNoFields;
  if (index < 0 || static_cast<size_t>(index) >= m_lines.size()) return kNoFields;
  return m_lines[static_cast<size_t>(index)];
}

int CKeyValueFile::GetKeyCount() const { return static_cast<int>(m_mapKeys.Size()); }

bool CKeyValueFile::GetKeyAt(int index, std::string& key, std::string& value) const {
  if (index < 0) return false;
  const CKeyMap::Entry* entry = m_mapKeys.At(static_cast<size_t>(index));
  if (entry == nullptr) return false;
  key = entry->key;
  value = entry->value;
  return true;
}
