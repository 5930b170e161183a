#include "project/picture_project.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "path/path_utils.h"
#include "project/directory_list.h"
#include "settings/value_integers.h"

namespace {

constexpr std::string_view kPicturePrefix = "PICT.";

}  // namespace

// A number past the integer range reads as the highest integer, which no
// PICT_NUM reaches.
bool CPictureProject::ParsePictureNumber(std::string_view key, int32_t& n) {
  if (!key.starts_with(kPicturePrefix)) return false;
  const std::string_view digits = key.substr(kPicturePrefix.size());
  if (digits.empty() || (digits.size() > 1 && digits.front() == '0')) return false;
  if (digits.find_first_not_of("0123456789") != std::string_view::npos) return false;
  size_t pos = 0;
  return ScanDecimal(digits, pos, n);
}

bool CPictureProject::Load(const std::string& tpfPath) {
  // Start afresh, so that a second Load does not mix two files.
  m_pSettings = std::make_unique<CKeyValueFile>();
  m_mapPictures.clear();
  m_entries.clear();
  m_strDir.clear();
  m_strTmfDir.clear();
  m_strTlfDir.clear();
  m_strPath = tpfPath;
  if (m_strPath.empty()) return false;
  if (!m_pSettings->Load(m_strPath)) return false;

  std::string name;
  SplitPath(m_strPath, m_strDir, name);
  // Verbatim: a project directory holding a "#" must not lose its tail to
  // the comment rule, or every $(TPF_DIR) path of the project breaks. It
  // also replaces any TPF_DIR line the file holds.
  m_pSettings->SetValueVerbatim("TPF_DIR", m_strDir);

  m_strTmfDir = ResolveDirectoryKey("TMF_DIR");
  m_strTlfDir = ResolveDirectoryKey("TLF_DIR");

  int32_t count = 0;
  std::string countText;
  if (GetExpandedValue("PICT_NUM", countText)) ScanInt(countText, count);
  if (count < 1) return true;
  for (int n : FindPictureNumbers(count)) ReadPicture(n);
  return true;
}

bool CPictureProject::Lookup(const std::string& name, CPictureInfo& info) const {
  const auto found = m_mapPictures.find(name);
  if (found == m_mapPictures.end()) return false;
  info = found->second;
  return true;
}

bool CPictureProject::GetExpandedValue(const std::string& key, std::string& value,
                                       CExpandProblem* problem) const {
  std::string raw;
  if (!m_pSettings->Lookup(key, raw)) return false;
  // A reference that cannot be replaced leaves the value as the artist
  // wrote it rather than dropping it.
  if (!m_pSettings->Expand(raw, value, problem)) value = raw;
  return true;
}

std::string CPictureProject::ResolveDirectoryKey(const std::string& key) const {
  std::string list;
  GetExpandedValue(key, list);
  std::string resolved = ResolveDirectoryList(list);
  if (!resolved.empty()) return resolved;
  return ResolveDirectoryList(m_strDir);
}

std::vector<int> CPictureProject::FindPictureNumbers(int count) const {
  // Walk the keys the file defines instead of trying every n below
  // PICT_NUM: a PICT_NUM of 0x7fffffff must not cost two billion lookups.
  // Ascending order keeps "the higher n wins" and the removal order intact.
  std::vector<int> numbers;
  for (const std::string_view key : m_pSettings->GetKeysBeginningWith(kPicturePrefix)) {
    int32_t n = 0;
    if (ParsePictureNumber(key, n) && n < count) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

void CPictureProject::ReadPicture(int n) {
  const std::string key = std::string(kPicturePrefix) + std::to_string(n);
  CPictureEntry entry;
  entry.number = n;
  entry.line = m_pSettings->GetKeyLine(key);
  std::string value;
  if (!GetExpandedValue(key, value, &entry.expandProblem)) return;

  std::vector<std::string>& fields = entry.fields;
  if (CKeyValueFile::Tokenize(fields, value, ",") >= 3) {
    CPictureInfo info;
    info.m_strTmf = fields[1];
    info.m_strTlf = fields[2];
    int32_t param = 0;
    if (fields.size() >= 4) ScanInt(fields[3], param);
    info.m_nParam = param;
    m_mapPictures[fields[0]] = std::move(info);
  }
  m_entries.push_back(std::move(entry));
  // Used entries leave the settings, so later values cannot refer to them.
  m_pSettings->RemoveKey(key);
}
