#include "settings/key_value_file.h"

#include <fstream>
#include <utility>
#include <vector>

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
  // Read whole before any line is added, so that a refused file changes
  // nothing. The limit keeps a project that names a device such as
  // /dev/zero from reading until memory runs out.
  std::string text;
  std::vector<char> chunk(64 * 1024);
  // A read error ends the file like its end does.
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    text.append(chunk.data(), static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxFileSize) return false;
  }
  LoadFromText(text);
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
    return GetLineCount();
  }
  m_firstFields[fields[0]].push_back(m_lines.size());
  m_lines.push_back(Line{std::move(fields)});
  ++m_lineCount;
  return GetLineCount();
}

void CKeyValueFile::StoreKeyLine(Fields fields) {
  m_mapKeys.Set(fields[0], fields[2]);
  auto [place, isNew] = m_keyLines.try_emplace(fields[0], m_lines.size());
  // A repeated key takes over the line of its first occurrence, so the key
  // keeps its position in the file while the last value wins.
  if (!isNew) {
    m_lines[place->second].fields = std::move(fields);
    return;
  }
  m_firstFields[fields[0]].push_back(m_lines.size());
  m_lines.push_back(Line{std::move(fields)});
  ++m_lineCount;
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
  auto found = m_firstFields.find(text);
  if (found == m_firstFields.end() || found->second.empty()) return;
  RemoveSlot(found->second.front());
}

void CKeyValueFile::RemoveLine(int index) {
  const Line* line = FindLine(index);
  if (line != nullptr) RemoveSlot(static_cast<size_t>(line - m_lines.data()));
}

void CKeyValueFile::RemoveSlot(size_t slot) {
  Line& line = m_lines[slot];
  const std::string& first = line.fields[0];
  m_mapKeys.Remove(first);
  if (line.fields.size() == 3) m_keyLines.erase(first);
  std::vector<size_t>& slots = m_firstFields[first];
  for (auto it = slots.begin(); it != slots.end(); ++it) {
    if (*it != slot) continue;
    slots.erase(it);
    break;
  }
  if (slots.empty()) m_firstFields.erase(first);
  line = Line{{}, true};
  --m_lineCount;
}

void CKeyValueFile::RemoveAllLines() {
  // Same outcome as removing the first line until none is left.
  for (const Line& line : m_lines) {
    if (!line.removed) m_mapKeys.Remove(line.fields[0]);
  }
  m_lines.clear();
  m_lineCount = 0;
  m_keyLines.clear();
  m_firstFields.clear();
}

int32_t CKeyValueFile::ClassifyLine(int index) const {
  const Fields& fields = GetLineFields(index);
  if (fields.empty() || fields[0].empty()) return kOtherLine;
  if (fields[0][0] == '#' || fields[0][0] == ';') return kCommentLine;
  if (fields.size() < 3 || !IsValidKey(fields[0])) return kOtherLine;
  return fields[1] == "=" ? kKeyLine : kOtherLine;
}

int CKeyValueFile::GetLineCount() const { return static_cast<int>(m_lineCount); }

const CKeyValueFile::Line* CKeyValueFile::FindLine(int index) const {
  // Lines are asked for by place only in rare edits; a walk is fine there.
  if (index < 0) return nullptr;
  for (const Line& line : m_lines) {
    if (line.removed) continue;
    if (index-- == 0) return &line;
  }
  return nullptr;
}

const std::vector<std::string>& CKeyValueFile::GetLineFields(int index) const {
  static const Fields kNoFields;
  const Line* line = FindLine(index);
  return line != nullptr ? line->fields : kNoFields;
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
