// The rules check applies to every settings file, TAF and TPF alike: lines
// that flipdeck passes over although they look like settings, keys set
// twice, keys flipdeck never reads, numbers that do not read as meant, and
// references that cannot be replaced.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/value_integers.h"

class CCheckReport;
class CKeyValueFile;

/// The keys flipdeck reads in one kind of settings file.
struct CKeyRules {
  std::vector<std::string> names;     // read as they stand: FRAME_ANIM
  std::vector<std::string> patterns;  // "#" for a number written plainly: FRAME_KEY#
  std::vector<std::string> prefixes;  // every key beginning so is read: CAM.
};

/// Checks each line of `text`, the settings file `file`: a line that sets
/// no key (an error when it names a key flipdeck reads, which it then
/// never sees: `CAM.-1.0 = 0,walk1`, an indented `  FRAME_ANIM = 1`), lines
/// ended by CR alone, which flipdeck reads as one, and each key set more
/// than once (the last value wins).
void CheckLines(CCheckReport& report, const std::string& file, std::string_view text,
                const CKeyRules& rules);

/// Reports each key of `settings` set by a line that flipdeck never reads:
/// no name, pattern or prefix of `rules` covers it and no line of `text`
/// refers to it as $(KEY). Suggests the nearest key it does read.
void CheckUnknownKeys(CCheckReport& report, const std::string& file, const CKeyValueFile& settings,
                      std::string_view text, const CKeyRules& rules);

/// Whether `key` is `pattern` with its "#" written as plain numbers:
/// ("FRAME_KEY12", "FRAME_KEY#") -> true, ("FRAME_KEY012", ...) -> false.
bool MatchesPattern(std::string_view key, std::string_view pattern);

/// Checks the integer flipdeck reads from `key` by `reading` of `value`: no
/// digits is an error, saying that flipdeck reads 0 and then `zeroMeans`;
/// text after the number is a warning. A value holding "$(" is noted as not
/// expanded: numbers are read as written.
void CheckNumber(CCheckReport& report, const std::string& file, int line, const std::string& key,
                 std::string_view value, const IntReading& reading, const std::string& zeroMeans);
