// The project rules: each picture project that a key reaches, checked as a
// settings file of its own (its lines, keys, PICT_NUM, search directories
// and picture keys), and the pictures and projects that no key names.
#include <map>
#include <set>

#include "kit/check/check_rules.h"
#include "kit/check/check_settings.h"
#include "kit/common/expand_problem.h"
#include "path/path_utils.h"
#include "settings/key_value_file.h"

namespace {

class CProjectRules {
 public:
  explicit CProjectRules(CCheckContext& c) : m_c(c) {}

  void CheckAll();

 private:
  /// Every (project, picture) some key frame or camera key names, read or
  /// not: a picture or project none names is one the artist left behind.
  void CollectNamed();
  void CheckProject(const std::string& path, const CPictureProject& project);
  void CheckPictureCount(const std::string& shown, const CKeyValueFile& settings);
  void CheckDirectoryKey(const std::string& shown, const CKeyValueFile& settings,
                         const std::string& key);
  void CheckEntries(const std::string& path, const std::string& shown,
                    const CPictureProject& project);

  CCheckContext& m_c;
  std::set<int32_t> m_namedProjects;
  std::map<std::string, std::set<std::string>> m_named;  // project path -> pictures named
};

void CProjectRules::CollectNamed() {
  std::vector<std::pair<int32_t, std::string>> named;
  std::string key;
  std::string value;
  for (int i = 0; m_c.anime.GetSettings()->GetKeyAt(i, key, value); ++i) {
    int32_t x = 0;
    int32_t y = 0;
    int32_t n = 0;
    int32_t index = 0;
    int32_t frame = 0;
    std::string picture;
    size_t pos = 9;
    const bool keyFrame = MatchesPattern(key, "FRAME_KEY#") && ScanDecimal(key, pos, index) &&
                          m_c.anime.GetFrameKey(index, frame, n, picture);
    if (keyFrame || m_c.anime.GetCameraKey(key, x, y, n, picture)) named.emplace_back(n, picture);
  }
  for (const auto& [project, picture] : named) {
    m_namedProjects.insert(project);
    std::string path;
    if (m_c.anime.GetString("TPF." + std::to_string(project) + ".FILE", path))
      m_named[path].insert(picture);
  }
}

void CProjectRules::CheckAll() {
  CollectNamed();
  for (const auto& [path, shown] : m_c.shownByProject) {
    bool loaded = false;
    const CPictureProject& project = m_c.library.GetProject(path, loaded);
    if (loaded) CheckProject(path, project);
  }
  // The projects no key names: flipdeck reads them to keep its outputs off
  // them, and writes nothing of them.
  std::string key;
  std::string value;
  for (int i = 0; m_c.anime.GetSettings()->GetKeyAt(i, key, value); ++i) {
    if (!MatchesPattern(key, "TPF.#.FILE")) continue;
    size_t pos = 4;
    int32_t n = 0;
    if (!ScanDecimal(key, pos, n) || m_namedProjects.count(n) != 0) continue;
    std::string path;
    const std::string project =
        m_c.anime.GetString(key, path) ? m_c.paths.Name(path) : Quoted(value);
    m_c.report.Warning(m_c.taf, m_c.Line(key),
                       "no key frame or camera key names project " + std::to_string(n) + " (" +
                           project + "): flipdeck writes nothing of it");
  }
}

void CProjectRules::CheckProject(const std::string& path, const CPictureProject& project) {
  const std::string shown = m_c.paths.Name(path);
  std::string text;
  CKeyValueFile::ReadText(path, text);
  const CKeyValueFile& settings = *project.GetSettings();
  CheckLines(m_c.report, shown, text, TpfKeyRules());
  CheckUnknownKeys(m_c.report, shown, settings, text, TpfKeyRules());
  CKeyValueFile::ForEachLine(text, [&](int number, std::string_view line) {
    std::string_view key;
    std::string_view value;
    if (CKeyValueFile::ParseKeyLine(line, key, value) && key == "TPF_DIR")
      m_c.report.Warning(shown, number,
                         "flipdeck sets TPF_DIR to the project's directory, " +
                             std::string(*settings.Find("TPF_DIR")) +
                             ", and passes over this value");
  });
  CheckPictureCount(shown, settings);
  CheckDirectoryKey(shown, settings, "TMF_DIR");
  CheckDirectoryKey(shown, settings, "TLF_DIR");
  CheckEntries(path, shown, project);
  CheckProjectArt(m_c, path, project);
}

void CProjectRules::CheckPictureCount(const std::string& shown, const CKeyValueFile& settings) {
  const std::optional<std::string_view> raw = settings.Find("PICT_NUM");
  const std::string none = "flipdeck reads no picture of this project";
  if (!raw) {
    m_c.report.Error(shown, 0, "PICT_NUM is not defined: " + none);
    return;
  }
  const int line = settings.GetKeyLine("PICT_NUM");
  std::string value;
  CExpandProblem problem;
  if (!settings.Expand(*raw, value, &problem)) {
    m_c.report.Error(shown, line,
                     "PICT_NUM cannot be expanded (" + DescribeExpandProblem(problem, settings) +
                         "): flipdeck reads it as written");
    value = *raw;
  }
  const IntReading reading = InspectScanInt(value);
  CheckNumber(m_c.report, shown, line, "PICT_NUM", value, reading,
              "reads no picture of this project");
  if (reading.digits && reading.value < 1)
    m_c.report.Error(shown, line, "PICT_NUM is " + std::to_string(reading.value) + ": " + none);
  // Picture keys at or past the count are the ones loading left unread.
  std::string key;
  std::string unused;
  for (int i = 0; settings.GetKeyAt(i, key, unused); ++i) {
    int32_t n = 0;
    if (CPictureProject::ParsePictureNumber(key, n))
      m_c.report.Warning(shown, settings.GetKeyLine(key),
                         key + " lies at or past PICT_NUM (" + std::to_string(reading.value) +
                             "): flipdeck never reads it");
  }
}

void CProjectRules::CheckDirectoryKey(const std::string& shown, const CKeyValueFile& settings,
                                      const std::string& key) {
  const std::optional<std::string_view> raw = settings.Find(key);
  if (!raw) return;
  const int line = settings.GetKeyLine(key);
  std::string value;
  CExpandProblem problem;
  if (!settings.Expand(*raw, value, &problem)) {
    m_c.report.Error(shown, line,
                     key + " cannot be expanded (" + DescribeExpandProblem(problem, settings) +
                         "): flipdeck searches it as written");
    value = *raw;
  }
  const std::string projectDir(*settings.Find("TPF_DIR"));
  for (const std::string_view entry : SplitDirectoryList(value)) {
    std::string dir(entry);
    if (NormalizeDirectory(dir)) continue;
    // A relative entry is taken from the working directory, not from the
    // project's, which surprises projects kept in a folder of their own.
    std::string beside = projectDir + "/" + std::string(entry);
    const bool besideProject = NormalizeDirectory(beside);
    m_c.report.Warning(
        shown, line,
        key + " names " + Quoted(std::string(entry)) +
            ", no directory from the working directory: flipdeck finds nothing there" +
            (besideProject
                 ? "; write $(TPF_DIR)/" + std::string(entry) + " for the one beside the project"
                 : ""));
  }
}

void CProjectRules::CheckEntries(const std::string& path, const std::string& shown,
                                 const CPictureProject& project) {
  const std::vector<CPictureEntry>& entries = project.GetEntries();
  std::map<std::string, const CPictureEntry*> last;
  for (const CPictureEntry& entry : entries) {
    if (entry.fields.size() >= 3) last[entry.fields[0]] = &entry;
  }
  const std::set<std::string>& named = m_named[path];
  for (const CPictureEntry& entry : entries) {
    const std::string key = "PICT." + std::to_string(entry.number);
    if (entry.expandProblem.kind != CExpandProblem::Kind::kNone) {
      const bool gone = entry.expandProblem.name.starts_with("PICT.");
      m_c.report.Error(shown, entry.line,
                       key + " cannot be expanded (" +
                           DescribeExpandProblem(entry.expandProblem, *project.GetSettings()) +
                           (gone ? "; picture keys leave the project once read" : "") +
                           "): flipdeck reads it as written");
    }
    if (entry.fields.size() < 3) {
      m_c.report.Error(shown, entry.line,
                       key + " holds " + std::to_string(entry.fields.size()) +
                           " of the 3 fields name,TMF file,TLF file: flipdeck drops it");
      continue;
    }
    const std::string& name = entry.fields[0];
    const CPictureEntry* winner = last[name];
    if (winner != &entry) {
      m_c.report.Warning(shown, entry.line,
                         "picture " + name + " is named again by PICT." +
                             std::to_string(winner->number) + " (line " +
                             std::to_string(winner->line) + "): flipdeck keeps that one");
      continue;
    }
    if (entry.fields.size() >= 4 && !InspectScanInt(entry.fields[3]).digits)
      m_c.report.Warning(shown, entry.line,
                         "parameter " + Quoted(entry.fields[3]) + " of " + key +
                             " is no number: flipdeck writes 0");
    if (entry.fields.size() > 4)
      m_c.report.Warning(
          shown, entry.line,
          "flipdeck ignores " + Quoted(entry.fields[4]) + " and what follows in " + key);
    if (named.count(name) == 0)
      m_c.report.Warning(
          shown, entry.line,
          "no key frame or camera key names picture " + name + ": flipdeck writes nothing of it");
  }
}

}  // namespace

void CheckProjects(CCheckContext& c) { CProjectRules(c).CheckAll(); }
