#include "settings/key_value_file.h"

#include <algorithm>
#include <fstream>
#include <utility>
#include <vector>

#include "path/file_system.h"

bool CKeyValueFile::Load(const std::string& path) {
  std::string text;
  if (!ReadText(path, text)) return false;
  LoadFromText(std::move(text));
  return true;
}

bool CKeyValueFile::ReadText(const std::string& path, std::string& text) {
  // A directory opens as a stream on POSIX but is no settings file.
  if (GetFileStatus(path).isDirectory) return false;
  // Binary, so that the line ends are ours to handle: CR LF and LF alike on
  // every system, and no byte (NUL, 0x1A, >= 128) ends the reading early.
  std::ifstream in(ToNativePath(path), std::ios::binary);
  if (!in) return false;
  // Read whole before any line is added, so that a refused file changes
  // nothing. The limit keeps a project that names a device such as
  // /dev/zero from reading until memory runs out.
  text.clear();
  // A file whose size is known is read in one go, one byte more than its
  // size to see its end; a pipe or device reports none and is read in
  // chunks.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.clear();
  in.seekg(0, std::ios::beg);
  if (!in) return false;
  const size_t expected = size > 0 ? std::min(static_cast<size_t>(size), kMaxFileSize) : 0;
  text.reserve(expected + 1);
  constexpr size_t kChunk = 64 * 1024;
  for (;;) {
    const size_t used = text.size();
    const size_t want = used < expected ? expected - used + 1 : kChunk;
    text.resize(used + want);
    in.read(text.data() + used, static_cast<std::streamsize>(want));
    text.resize(used + static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxFileSize) return false;
    // A short read is the end, or a read error, which ends the file alike.
    if (!in) return true;
  }
}

void CKeyValueFile::LoadFromText(std::string text) {
  // Most lines of a TAF or TPF file are keys: room for them all at once.
  m_mapKeys.Reserve(m_mapKeys.Size() +
                    static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
  // The keys and values view into the text, held as a whole.
  ForEachLine(m_mapKeys.Hold(std::move(text)), [this](int number, std::string_view line) {
    std::string_view key;
    std::string_view value;
    if (ParseKeyLine(line, key, value)) m_mapKeys.SetHeld(key, value, number);
  });
}

void CKeyValueFile::AddLine(std::string_view line, int lineNumber) {
  std::string_view key;
  std::string_view value;
  if (ParseKeyLine(line, key, value)) m_mapKeys.Set(key, value, lineNumber);
}

int CKeyValueFile::GetKeyLine(std::string_view key) const {
  const std::optional<CKeyMap::Entry> entry = m_mapKeys.FindEntry(key);
  return entry ? entry->line : 0;
}

bool CKeyValueFile::Lookup(const std::string& key, std::string& value) const {
  const std::optional<std::string_view> found = Find(key);
  if (!found) return false;
  value = *found;
  return true;
}

void CKeyValueFile::SetValueVerbatim(const std::string& key, const std::string& value) {
  if (IsValidKey(key)) m_mapKeys.Set(key, value);
}

void CKeyValueFile::RemoveKey(const std::string& key) { m_mapKeys.Remove(key); }

int CKeyValueFile::GetKeyCount() const { return static_cast<int>(m_mapKeys.Size()); }

std::vector<std::string_view> CKeyValueFile::GetKeysBeginningWith(std::string_view prefix) const {
  std::vector<std::string_view> keys;
  for (size_t i = 0; const std::optional<CKeyMap::Entry> entry = m_mapKeys.At(i); ++i) {
    if (entry->key.starts_with(prefix)) keys.emplace_back(entry->key);
  }
  return keys;
}

bool CKeyValueFile::GetKeyAt(int index, std::string& key, std::string& value) const {
  if (index < 0) return false;
  const std::optional<CKeyMap::Entry> entry = m_mapKeys.At(static_cast<size_t>(index));
  if (!entry) return false;
  key = entry->key;
  value = entry->value;
  return true;
}
