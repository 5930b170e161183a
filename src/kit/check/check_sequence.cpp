// The sequence part's rules: the keys that switch it on and size it, and
// each key frame as the timeline reads it. A key frame flipdeck never reads,
// reads as another number, or turns into a view of no frames is reported
// with what the C then gets.
#include <algorithm>

#include "anime/timeline.h"
#include "kit/check/check_rules.h"
#include "kit/check/check_settings.h"
#include "kit/common/expand_problem.h"
#include "settings/key_value_file.h"

namespace {

constexpr const char* kKeyPrefix = "FRAME_KEY";

std::string KeyName(int index) { return kKeyPrefix + std::to_string(index); }

// The n of every FRAME_KEY<n> the TAF sets, ascending.
std::vector<int32_t> DefinedKeyFrames(const CKeyValueFile& settings) {
  std::vector<int32_t> indexes;
  std::string key;
  std::string value;
  for (int i = 0; settings.GetKeyAt(i, key, value); ++i) {
    if (!MatchesPattern(key, "FRAME_KEY#")) continue;
    size_t pos = 9;
    int32_t n = 0;
    if (ScanDecimal(key, pos, n)) indexes.push_back(n);
  }
  std::sort(indexes.begin(), indexes.end());
  return indexes;
}

// Without the sequence flipdeck writes no gAnimeCmd and no header, while a
// C file converted with -e still includes the header: a build that compiles
// it fails on a file that was never written.
void ReportSequenceOff(CCheckContext& c, bool animSet, const std::vector<int32_t>& keyFrames) {
  const int line = c.Line("FRAME_ANIM");
  const std::string state = animSet ? "FRAME_ANIM is 0" : "FRAME_ANIM is not set";
  const std::string keys = keyFrames.empty() ? "" : " and never reads the key frames";
  if (c.options.header.empty()) {
    c.report.Warning(c.taf, line,
                     state + ": flipdeck writes no sequence" + keys +
                         "; nor a header, so a C file converted with -e includes a header "
                         "that is never written");
    return;
  }
  c.report.Error(c.taf, line,
                 state + ", so flipdeck writes no sequence and no header: the C will include \"" +
                     c.options.header + "\", a header that is never written");
  if (!keyFrames.empty())
    c.report.Warning(c.taf, line, state + ": flipdeck writes no sequence" + keys);
}

// Where the key frames end before FRAME_KEY says they do.
void CheckKeyCount(CCheckContext& c, const CTimeline& timeline, int32_t keyCount,
                   const std::vector<int32_t>& keyFrames) {
  const CKeyValueFile& settings = *c.anime.GetSettings();
  for (int32_t n : keyFrames) {
    if (n >= keyCount)
      c.report.Warning(c.taf, c.Line(KeyName(n)),
                       KeyName(n) + " lies at or past FRAME_KEY (" + std::to_string(keyCount) +
                           "): flipdeck never reads it");
  }
  const auto first = static_cast<int32_t>(timeline.views.size());
  if (first >= keyCount && keyCount > 0) return;
  if (keyCount <= 0) {
    c.report.Error(c.taf, c.Line("FRAME_KEY"),
                   "FRAME_KEY is " + std::to_string(keyCount) +
                       ": flipdeck shows no key frame and " + StopsWith("FRAME_KEY0 undefined"));
    return;
  }
  const std::string key = KeyName(first);
  const std::string tail =
      first == 0 ? "flipdeck shows no key frame and " + StopsWith("FRAME_KEY0 undefined")
                 : "flipdeck ends the sequence there and drops " +
                       NameRange(kKeyPrefix, first, keyCount - 1);
  const std::optional<std::string_view> raw = settings.Find(key);
  if (!raw) {
    c.report.Error(
        c.taf, c.Line("FRAME_KEY"),
        "FRAME_KEY is " + std::to_string(keyCount) + ", but " + key + " is not defined: " + tail);
    return;
  }
  std::string value;
  CExpandProblem problem;
  if (!settings.Expand(*raw, value, &problem)) {
    c.report.Error(
        c.taf, c.Line(key),
        key + " cannot be expanded (" + DescribeExpandProblem(problem, settings) + "): " + tail);
    return;
  }
  std::vector<std::string> fields;
  CKeyValueFile::Tokenize(fields, value, ",\t");
  c.report.Error(c.taf, c.Line(key),
                 key + " " + Quoted(value) + " holds " + std::to_string(fields.size()) +
                     " of its 3 fields frame,project,picture: " + tail);
}

// One number field of a key frame, read like "%d".
void CheckField(CCheckContext& c, const std::string& key, const char* what,
                const std::string& field) {
  size_t pos = 0;
  int32_t value = 0;
  const int line = c.Line(key);
  if (!ScanDecimal(field, pos, value)) {
    c.report.Error(
        c.taf, line,
        std::string(what) + " " + Quoted(field) + " of " + key + " is no number: flipdeck reads 0");
    return;
  }
  const size_t rest = field.find_first_not_of(" \t", pos);
  if (rest != std::string::npos)
    c.report.Warning(c.taf, line,
                     "flipdeck reads the " + std::string(what) + " of " + key + " as " +
                         std::to_string(value) + " and ignores " + Quoted(field.substr(rest)));
}

void CheckKeyFields(CCheckContext& c, const CTimeline& timeline) {
  for (const CView& view : timeline.views) {
    const std::string key = KeyName(view.key.index);
    std::string value;
    c.anime.GetString(key, value);
    std::vector<std::string> fields;
    CKeyValueFile::Tokenize(fields, value, ",\t");
    CheckField(c, key, "frame", fields[0]);
    CheckField(c, key, "project", fields[1]);
    if (fields.size() <= 3) continue;
    std::string extra;
    for (size_t i = 3; i < fields.size(); ++i) extra += (i > 3 ? "," : "") + fields[i];
    c.report.Warning(c.taf, c.Line(key),
                     "flipdeck ignores " + Quoted(extra) + " after the picture name of " + key);
  }
}

// The order of the key frames and the frames each view gets.
void CheckViews(CCheckContext& c, const CTimeline& timeline) {
  const std::vector<CView>& views = timeline.views;
  const size_t stop = timeline.outOfOrder;
  if (views.empty()) return;
  const bool counted = stop == views.size();
  auto keyOf = [&](size_t k) { return KeyName(views[k].key.index); };
  auto frameOf = [&](size_t k) { return std::to_string(views[k].key.frame); };
  if (!counted) {
    const std::string before = stop == 1 ? "frame 0, where the first view starts"
                                         : keyOf(stop - 1) + " (frame " + frameOf(stop - 1) + ")";
    c.report.Error(c.taf, c.Line(keyOf(stop)),
                   keyOf(stop) + " starts at frame " + frameOf(stop) + ", before " + before +
                       ": flipdeck " + StopsWith("frame over! FRAME_LENGTH"));
  }
  if (views[0].key.frame != 0)
    c.report.Warning(c.taf, c.Line(keyOf(0)),
                     keyOf(0) + " starts at frame " + frameOf(0) +
                         ", but the first view starts at frame 0 whatever it says" +
                         (counted || stop > 1 ? ": the C shows it for " +
                                                    std::to_string(views[0].frames) + " frames"
                                              : ""));
  const int32_t length = timeline.frameLength;
  if (length <= 0) {
    c.report.Error(c.taf, c.Line("FRAME_LENGTH"),
                   "FRAME_LENGTH is " + std::to_string(length) + ": a pass has no frames" +
                       (counted ? ", and the C gets " + std::to_string(views.back().frames) +
                                      " frames for the last view, " + keyOf(views.size() - 1)
                                : ""));
    return;
  }
  for (size_t k = 1; k < std::min(stop, views.size()); ++k) {
    if (views[k].key.frame < length) continue;
    const std::string start = keyOf(k) + " starts at frame " + frameOf(k) +
                              ", at or past FRAME_LENGTH (" + std::to_string(length) + "): ";
    const bool last = counted && k + 1 == views.size();
    c.report.Error(
        c.taf, c.Line(keyOf(k)),
        start + (last ? "the C gets " + std::to_string(views[k].frames) + " frames for this view"
                      : "the C shows it all the same, and a pass lasts longer than FRAME_LENGTH"));
  }
  // A view lasts until the next one starts; with no frame between, it never shows.
  for (size_t k = 0; k + 1 < std::min(stop, views.size()); ++k) {
    if (views[k].frames != 0) continue;
    c.report.Warning(c.taf, c.Line(keyOf(k)),
                     keyOf(k) + " and " + keyOf(k + 1) + " both start at frame " + frameOf(k + 1) +
                         ": the C gets 0 frames for this view, which never shows");
  }
}

}  // namespace

void CheckSequence(CCheckContext& c) {
  const CKeyValueFile& settings = *c.anime.GetSettings();
  int32_t frameAnim = 0;
  const bool animSet = ReadCheckedNumber(c, "FRAME_ANIM", "writes no sequence", frameAnim);
  const std::vector<int32_t> keyFrames = DefinedKeyFrames(settings);
  if (frameAnim == 0) {
    ReportSequenceOff(c, animSet, keyFrames);
    return;
  }
  const bool projectsSet = settings.Find("TPF.NUM").has_value();
  if (!projectsSet)
    c.report.Error(c.taf, 0, "TPF.NUM is not defined: flipdeck " + StopsWith("TPF.NUM undefined"));
  int32_t length = 0;
  const bool lengthSet = ReadCheckedNumber(c, "FRAME_LENGTH", "", length);
  if (!lengthSet)
    c.report.Error(c.taf, 0,
                   "FRAME_LENGTH is not defined: flipdeck " + StopsWith("FRAME_LENGTH undefined"));
  int32_t keyCount = 0;
  const bool countSet = ReadCheckedNumber(c, "FRAME_KEY", "", keyCount);
  if (!countSet)
    c.report.Error(c.taf, 0,
                   "FRAME_KEY is not defined: flipdeck " + StopsWith("FRAME_KEY undefined"));
  // Without them the writer stops before it reads a key frame.
  if (!projectsSet || !lengthSet || !countSet) return;

  const CTimeline timeline = ReadTimeline(c.anime, length, keyCount);
  CheckKeyCount(c, timeline, keyCount, keyFrames);
  CheckKeyFields(c, timeline);
  CheckViews(c, timeline);
}
