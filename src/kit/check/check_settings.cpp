#include "kit/check/check_settings.h"

#include <algorithm>
#include <map>

#include "kit/check/check_report.h"
#include "kit/check/name_suggestion.h"
#include "settings/key_value_file.h"

namespace {

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Whether `text` begins with a key flipdeck reads, or with the part of a
// pattern before its number: "CAM.-1.0" and "FRAME_KEY 2" do.
bool BeginsWithReadKey(std::string_view text, const CKeyRules& rules) {
  auto begins = [text](std::string_view stem) { return !stem.empty() && text.starts_with(stem); };
  for (const std::string& name : rules.names)
    if (begins(name)) return true;
  for (const std::string& pattern : rules.patterns)
    if (begins(std::string_view(pattern).substr(0, pattern.find('#')))) return true;
  return std::any_of(rules.prefixes.begin(), rules.prefixes.end(), begins);
}

// Why `line`, which defines no key, does not: "" for blank and comment lines.
std::string WhyNoKey(std::string_view line) {
  const std::string_view text = TrimRight(line.substr(0, line.find('#')));
  const std::string_view trimmed = TrimLeft(text);
  if (trimmed.empty() || trimmed.front() == ';') return "";
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return "it holds no '='";
  if (equals == 0) return "no key stands before its '='";
  const std::string_view key = TrimRight(text.substr(0, equals));
  if (key.front() != trimmed.front() && CKeyValueFile::IsValidKey(TrimLeft(key)))
    return "it is indented, and a key must start its line";
  if (key.size() > 256) return "a key holds at most 256 characters";
  return Quoted(std::string(key)) +
         " is no key: a key starts with a letter, '_' or '\\' and holds only letters, digits, "
         "'_', '@', '.' and '\\'";
}

// Reports `line` when it holds line ends of CR alone (an old Mac editor's):
// flipdeck ends lines at LF only, so it reads all of them as this one line,
// a comment when the first is, and never sees the keys of the others. A CR
// before the LF is an ordinary line end. False when there is none.
bool ReportBareCarriageReturns(CCheckReport& report, const std::string& file, int number,
                               std::string_view line) {
  const std::string_view text = TrimRight(line);
  if (text.find('\r') == std::string_view::npos) return false;
  int lines = 1;
  int keys = 0;
  for (size_t start = text.find('\r'); start != std::string_view::npos; ++lines) {
    const size_t end = text.find('\r', start + 1);
    std::string_view key;
    std::string_view value;
    const std::string_view piece = text.substr(start + 1, end == text.npos ? end : end - start - 1);
    if (CKeyValueFile::ParseKeyLine(piece, key, value)) ++keys;
    start = end;
  }
  const std::string what = "lines end here with CR alone, which flipdeck does not take for a " +
                           std::string("line end: it reads these ") + std::to_string(lines) +
                           " lines as one";
  if (keys == 0) {
    report.Warning(file, number, what);
    return true;
  }
  report.Error(file, number,
               what + " and never sees the " + std::to_string(keys) +
                   (keys == 1 ? " key" : " keys") +
                   " set on the lines after the first; save the file with LF or CR LF line ends");
  return true;
}

}  // namespace

bool MatchesPattern(std::string_view key, std::string_view pattern) {
  return FillDigits(pattern, key) == key;
}

void CheckLines(CCheckReport& report, const std::string& file, std::string_view text,
                const CKeyRules& rules) {
  std::map<std::string, std::vector<int>> setters;
  CKeyValueFile::ForEachLine(text, [&](int number, std::string_view line) {
    const bool bareCarriageReturns = ReportBareCarriageReturns(report, file, number, line);
    std::string_view key;
    std::string_view value;
    if (CKeyValueFile::ParseKeyLine(line, key, value)) {
      setters[std::string(key)].push_back(number);
      return;
    }
    if (bareCarriageReturns) return;  // what stands there is not one line
    const std::string why = WhyNoKey(line);
    if (why.empty()) return;
    const bool meant = BeginsWithReadKey(TrimLeft(line), rules);
    report.Add(meant ? CCheckReport::Severity::kError : CCheckReport::Severity::kWarning, file,
               number, "this line sets no key (" + why + "): flipdeck passes over it");
  });
  for (const auto& [key, lines] : setters) {
    for (size_t i = 0; i + 1 < lines.size(); ++i)
      report.Warning(file, lines[i],
                     key + " is set again on line " + std::to_string(lines.back()) +
                         ": flipdeck uses the value there, not this one");
  }
}

void CheckUnknownKeys(CCheckReport& report, const std::string& file, const CKeyValueFile& settings,
                      std::string_view text, const CKeyRules& rules) {
  std::string key;
  std::string value;
  for (int i = 0; settings.GetKeyAt(i, key, value); ++i) {
    const int line = settings.GetKeyLine(key);
    if (line == 0) continue;  // set by flipdeck itself
    const auto matches = [&key](const std::string& pattern) {
      return MatchesPattern(key, pattern);
    };
    const auto begins = [&key](const std::string& prefix) { return key.starts_with(prefix); };
    if (std::find(rules.names.begin(), rules.names.end(), key) != rules.names.end()) continue;
    if (std::any_of(rules.patterns.begin(), rules.patterns.end(), matches)) continue;
    if (std::any_of(rules.prefixes.begin(), rules.prefixes.end(), begins)) continue;
    // A key only other values refer to holds a part they share.
    if (text.find("$(" + key + ")") != std::string_view::npos) continue;

    std::vector<std::string> candidates = rules.names;
    for (const std::string& pattern : rules.patterns)
      candidates.push_back(FillDigits(pattern, key));
    const std::string nearest = NearestName(key, candidates);
    report.Warning(
        file, line,
        "flipdeck never reads " + key + (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
  }
}

void CheckNumber(CCheckReport& report, const std::string& file, int line, const std::string& key,
                 std::string_view value, const IntReading& reading, const std::string& zeroMeans) {
  const bool reference = value.find("$(") != std::string_view::npos;
  const std::string why = reference ? " (flipdeck does not expand references in " + key + ")" : "";
  if (!reading.digits) {
    report.Error(file, line,
                 key + " " + Quoted(value) + " is no number" + why + ": flipdeck reads 0" +
                     (zeroMeans.empty() ? "" : " and " + zeroMeans));
    return;
  }
  const std::string_view rest = TrimLeft(value.substr(reading.end));
  if (!rest.empty())
    report.Warning(file, line,
                   "flipdeck reads " + key + " as " + std::to_string(reading.value) +
                       " and ignores " + Quoted(rest) + why);
}
