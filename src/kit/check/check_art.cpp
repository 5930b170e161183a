// The art rules: what a project records of the art its pictures are made
// from, checked by the rule sync follows (art_record.h), so that check
// says what sync would do. A picture whose art changed since its TMF was
// made shows the old picture; art that is missing leaves sync nothing to
// make the picture from.
#include <map>

#include "kit/check/check_rules.h"
#include "kit/common/art_record.h"
#include "path/file_system.h"

namespace {

class CArtRules {
 public:
  CArtRules(CCheckContext& c, const std::string& path, const CPictureProject& project)
      : m_c(c), m_path(path), m_shown(c.paths.Name(path)), m_project(project) {}

  void CheckAll();

 private:
  // Art that is missing, said at the key that records it; false then.
  bool IsThere(const std::string& art, const std::string& key, int line);
  void CheckPicture(int32_t number, const CPictureArt& art);
  void CheckSheet(const CSheetArt& sheet);
  std::string Sync() const { return "(run flipdeck-kit sync " + m_shown + ")"; }
  // How `made` stands to the art `art` it was not made from as it is:
  // "walk3.tmf is older than walk3.png".
  std::string Made(const std::string& made, const std::string& art) const {
    const std::string name = m_c.paths.Name(made);
    if (IsFileOlder(made, art)) return name + " is older than " + m_c.paths.Name(art);
    return name + " was not made from " + m_c.paths.Name(art) + " as it is";
  }

  CCheckContext& m_c;
  const std::string& m_path;
  const std::string m_shown;
  const CPictureProject& m_project;
  std::string m_dir;
  std::map<int32_t, const CPictureEntry*> m_entries;  // those with a name, by number
};

bool CArtRules::IsThere(const std::string& art, const std::string& key, int line) {
  if (GetFileStatus(art).exists) return true;
  m_c.report.Warning(m_shown, line,
                     key + " names " + m_c.paths.Name(art) +
                         ", which is missing: flipdeck-kit sync has nothing to make the project's "
                         "files again from");
  return false;
}

void CArtRules::CheckPicture(int32_t number, const CPictureArt& art) {
  const std::string key = ArtKey(number);
  const std::string path = ArtPath(m_dir, art.path);
  if (!IsThere(path, key, art.line) || art.frame >= 0) return;
  // Only a picture a key shows can show an old picture.
  const auto entry = m_entries.find(number);
  if (entry == m_entries.end()) return;
  const auto shown = m_c.pictures.find({m_path, entry->second->fields[0]});
  if (shown == m_c.pictures.end() || shown->second.tmfPath.empty()) return;
  const std::string& tmf = shown->second.tmfPath;
  if (CompareArt(path, LoadTmfArtPrint(tmf), tmf) != ArtState::kChanged) return;
  m_c.report.Warning(m_shown, art.line,
                     Made(tmf, path) + "; flipdeck will show the old picture " + Sync());
}

void CArtRules::CheckSheet(const CSheetArt& sheet) {
  std::vector<std::pair<const CRecordedFile*, std::string_view>> files = {
      {&sheet.source, kArtSheetKey}};
  if (sheet.image) files.emplace_back(&*sheet.image, kArtSheetImageKey);
  for (const auto& [file, key] : files) {
    const std::string path = ArtPath(m_dir, file->path);
    if (!IsThere(path, std::string(key), sheet.line)) return;
    if (CompareArt(path, file->print, m_path) != ArtState::kChanged) continue;
    m_c.report.Warning(m_shown, sheet.line,
                       Made(m_path, path) + "; flipdeck will show the old animation " + Sync());
    return;
  }
}

void CArtRules::CheckAll() {
  const CKeyValueFile& settings = *m_project.GetSettings();
  const CProjectArt art = ReadProjectArt(settings);
  m_dir = std::string(settings.Find("TPF_DIR").value_or(""));
  for (const CPictureEntry& entry : m_project.GetEntries())
    if (entry.fields.size() >= 3) m_entries[entry.number] = &entry;
  for (const auto& [key, why] : art.faults)
    m_c.report.Warning(m_shown, settings.GetKeyLine(key),
                       key + " " + why + ": flipdeck-kit sync passes it over");
  for (const auto& [number, picture] : art.pictures) CheckPicture(number, picture);
  if (art.sheet) CheckSheet(*art.sheet);
}

}  // namespace

void CheckProjectArt(CCheckContext& c, const std::string& path, const CPictureProject& project) {
  CArtRules(c, path, project).CheckAll();
}
