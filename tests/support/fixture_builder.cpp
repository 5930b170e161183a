#include "support/fixture_builder.h"

#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <stdexcept>

namespace testing_support {

std::string MakeSimpleTlf(int32_t count, uint16_t seed) {
  std::vector<uint16_t> entries(static_cast<size_t>(count));
  std::iota(entries.begin(), entries.end(), seed);
  return EncodeTlf(kTlfTypeRgba5551, entries, count == 16 ? 4 : 8);
}

namespace {

using Fields = std::map<std::string, long long>;

// Reads the "name=value" words of `text` over `fields`; only `known` names
// may stand, and values are numbers as C writes them (0x10, -8).
bool ReadFields(const std::string& text, const std::set<std::string>& known, Fields& fields,
                std::string& fault) {
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    if (equals == std::string::npos || known.count(name) == 0) {
      fault = "unknown field `" + word + "`";
      return false;
    }
    const std::string value = word.substr(equals + 1);
    size_t used = 0;
    try {
      fields[name] = std::stoll(value, &used, 0);
    } catch (const std::logic_error&) {
      used = 0;
    }
    if (used == 0 || used != value.size()) {
      fault = "`" + word + "` is no number";
      return false;
    }
  }
  return true;
}

// `header`, then fields["body"] bytes counting 1, 2, 3, ..., then cut or
// padded to fields["size"] when it is given.
std::string WithBody(std::string header, const Fields& fields) {
  for (long long i = 0; i < fields.at("body"); ++i) header.push_back(static_cast<char>(i + 1));
  if (const auto size = fields.find("size"); size != fields.end())
    header.resize(static_cast<size_t>(size->second), '\0');
  return header;
}

}  // namespace

bool MakeTmfFixture(const std::string& text, std::string& bytes, std::string& fault) {
  Fields f = {{"w", 4}, {"h", 2}};
  if (!ReadFields(text, {"tag", "w", "h", "bits", "body", "size"}, f, fault)) return false;
  if (f.count("bits") == 0) {
    fault = "an image needs its `bits`, 4 or 8";
    return false;
  }
  f.try_emplace("tag", TmfTagFor(static_cast<int32_t>(f["bits"])));
  // Rows rounded up to whole bytes, the body to whole words: a negative
  // size leaves no body at all.
  f.try_emplace("body", ((f["w"] * f["bits"] + 7) / 8 * f["h"] + 3) / 4 * 4);
  const TmfHeader header{static_cast<uint32_t>(f["tag"]), static_cast<int32_t>(f["w"]),
                         static_cast<int32_t>(f["h"]), static_cast<int32_t>(f["bits"])};
  bytes = WithBody(EncodeTmfFile(header, ""), f);
  return true;
}

bool MakeTlfFixture(const std::string& text, std::string& bytes, std::string& fault) {
  Fields f = {{"count", 16}, {"type", kTlfTypeRgba5551}};
  if (!ReadFields(text, {"tag", "count", "type", "body", "size"}, f, fault)) return false;
  f.try_emplace("tag", TlfTagFor(static_cast<int32_t>(f["count"])));
  f.try_emplace("body", 2 * f["count"]);
  const TlfHeader header{static_cast<uint32_t>(f["tag"]), static_cast<int32_t>(f["count"]),
                         static_cast<uint32_t>(f["type"])};
  bytes = WithBody(EncodeTlfFile(header, ""), f);
  return true;
}

}  // namespace testing_support
