// The picture rules: each use followed as the writers follow it, into its
// project, the picture and its files. A problem met by many keys is said
// where it lies: a missing image at its picture's line in the project, a
// missing picture at each key that shows it.
#include <algorithm>
#include <map>
#include <set>

#include "kit/check/check_rules.h"
#include "kit/check/check_settings.h"
#include "kit/check/name_suggestion.h"
#include "kit/common/art_record.h"
#include "kit/common/expand_problem.h"
#include "kit/common/settings_trouble.h"
#include "settings/key_value_file.h"

namespace {

// The two writers word their stops differently.
std::string ProjectStop(CWriterPart part, const std::string& key) {
  return key + (part == CWriterPart::kSequence ? " not exist" : " is not exist");
}
std::string PictureStop(CWriterPart part, const std::string& picture) {
  return picture + (part == CWriterPart::kSequence ? " is not found in project file"
                                                   : " is not found in project file.");
}

// The entry that gives picture `name`: the last one read with that name.
const CPictureEntry* EntryOf(const CPictureProject& project, const std::string& name) {
  const CPictureEntry* found = nullptr;
  for (const CPictureEntry& entry : project.GetEntries()) {
    if (entry.fields.size() >= 3 && entry.fields[0] == name) found = &entry;
  }
  return found;
}

class CPictureRules {
 public:
  explicit CPictureRules(CCheckContext& c) : m_c(c) {}

  void FollowUse(const CPictureUse& use);

 private:
  void ReportStop(const CPictureUse& use, const CResolvedPicture& resolved);
  void FollowFiles(const CPictureUse& use, const CResolvedPicture& resolved);

  CCheckContext& m_c;
  std::set<std::string> m_said;  // problems of a file said once, by a key of their own
  std::set<std::pair<std::string, std::string>> m_pairs;  // TMF, TLF paths checked together
};

void CPictureRules::FollowUse(const CPictureUse& use) {
  // A camera value without a picture is reported by the camera rules.
  if (use.picture.empty()) return;
  const CResolvedPicture resolved =
      ResolvePicture(m_c.anime, m_c.library, use.project, use.picture);
  if (resolved.stop != CResolvedPicture::Stop::kNone) {
    ReportStop(use, resolved);
    return;
  }
  m_c.shownByProject[resolved.projectPath].insert(use.picture);
  FollowFiles(use, resolved);
}

void CPictureRules::ReportStop(const CPictureUse& use, const CResolvedPicture& resolved) {
  using Stop = CResolvedPicture::Stop;
  const std::string& key = resolved.projectKey;
  const std::string& path = resolved.projectPath;
  if (resolved.stop == Stop::kNoProjectKey) {
    const std::optional<std::string_view> raw = m_c.anime.GetSettings()->Find(key);
    if (!raw) {
      m_c.report.Error(m_c.taf, m_c.Line(use.key),
                       use.key + " shows project " + std::to_string(use.project) + ", but " + key +
                           " is not defined: flipdeck " + StopsWith(ProjectStop(use.part, key)));
      return;
    }
    // Said once, with the stop of the first key that meets it: the
    // sequence part stops there, and the camera part never runs after it.
    if (!m_said.insert("project key\n" + key).second) return;
    std::string value;
    CExpandProblem problem;
    m_c.anime.GetSettings()->Expand(*raw, value, &problem);
    m_c.report.Error(m_c.taf, m_c.Line(key),
                     key + " cannot be expanded (" +
                         DescribeExpandProblem(problem, *m_c.anime.GetSettings()) + "): flipdeck " +
                         StopsWith(ProjectStop(use.part, key)));
    return;
  }
  if (resolved.stop == Stop::kProjectNotLoaded) {
    // Said once, with the stop the first key that shows a picture of it meets.
    if (!m_said.insert("project\n" + path).second) return;
    m_c.report.Error(m_c.taf, m_c.Line(key),
                     "project " + m_c.paths.Name(path) + " " + SettingsFileTrouble(path) +
                         ": flipdeck reports \"[" + path +
                         "] can not open\", finds none of its pictures and " +
                         StopsWith(PictureStop(use.part, use.picture)));
    return;
  }
  bool loaded = false;
  const CPictureProject& project = m_c.library.GetProject(path, loaded);
  std::vector<std::string> names;
  for (const auto& [name, info] : project.GetPictures()) names.push_back(name);
  // In name order, so that of two names as near the first is offered on
  // every system, whatever order the project's table keeps.
  std::sort(names.begin(), names.end());
  const std::string nearest = NearestName(use.picture, names);
  m_c.shownByProject[path];  // a project whose pictures are missing is still checked
  m_c.report.Error(m_c.taf, m_c.Line(use.key),
                   "picture " + Quoted(use.picture) + " is not in project " +
                       std::to_string(use.project) + " (" + m_c.paths.Name(path) + "): flipdeck " +
                       StopsWith(PictureStop(use.part, use.picture)) +
                       (nearest.empty() ? "" : "; did you mean " + Quoted(nearest) + "?"));
}

void CPictureRules::FollowFiles(const CPictureUse& use, const CResolvedPicture& resolved) {
  bool loaded = false;
  const CPictureProject& project = m_c.library.GetProject(resolved.projectPath, loaded);
  const CPictureEntry* entry = EntryOf(project, use.picture);
  const std::string tpf = m_c.paths.Name(resolved.projectPath);
  const int line = entry != nullptr ? entry->line : 0;
  m_c.pictures[{resolved.projectPath, use.picture}] = {resolved.projectPath, use.picture,
                                                       resolved.tmfPath, resolved.tlfPath};
  struct Side {
    const std::string& path;
    const std::string& name;
    const std::string& dirs;
    const char* kind;
    std::string stop;
  };
  const Side sides[] = {
      {resolved.tmfPath, resolved.info.m_strTmf, project.GetTmfDir(), "image", "Cannot open []"},
      {resolved.tlfPath, resolved.info.m_strTlf, project.GetTlfDir(), "palette",
       "[] can not open"}};
  for (const Side& side : sides) {
    if (!side.path.empty()) continue;
    if (!m_said.insert(tpf + "\n" + side.kind + "\n" + side.name).second) continue;
    m_c.report.Error(tpf, line,
                     std::string(side.kind) + " " + Quoted(side.name) + " of picture " +
                         use.picture + " is not found in " + m_c.paths.NameDirectories(side.dirs) +
                         ": flipdeck " + StopsWith(side.stop));
  }
  CCheckedFile* image = nullptr;
  CCheckedFile* palette = nullptr;
  if (!resolved.tmfPath.empty()) {
    const auto [at, isNew] = m_c.files.try_emplace(resolved.tmfPath);
    if (isNew) CheckImageFile(m_c, resolved.tmfPath, at->second);
    at->second.parts.insert(use.part);
    image = &at->second;
  }
  if (!resolved.tlfPath.empty()) {
    const auto [at, isNew] = m_c.files.try_emplace(resolved.tlfPath);
    if (isNew) CheckPaletteFile(m_c, resolved.tlfPath, at->second);
    at->second.parts.insert(use.part);
    palette = &at->second;
  }
  if (image == nullptr || palette == nullptr || !image->loaded || !palette->loaded) return;
  if (!m_pairs.insert({resolved.tmfPath, resolved.tlfPath}).second) return;
  // Read as ReadProjectArt reads ART.PALETTE, without its other keys for each pair.
  const bool shared = project.GetSettings()->Find(kArtPaletteKey) == kArtSharedValue;
  CheckPicturePair(m_c, tpf, line, use.picture, *image, *palette, shared);
}

}  // namespace

void CheckPictures(CCheckContext& c) {
  CPictureRules rules(c);
  for (const CPictureUse& use : c.uses) rules.FollowUse(use);
}
