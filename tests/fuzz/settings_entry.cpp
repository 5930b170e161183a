// Settings text from arbitrary bytes: every key the enumeration yields must
// be found again by lookup, expand without harm, and survive edits.
#include <set>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "settings/key_value_file.h"

namespace {

using fuzz_support::Require;

// Walks the whole enumeration; each key once, each found again with its
// value, each value expanded. Returns the keys in enumeration order.
std::vector<std::string> CheckEnumeration(const CKeyValueFile& file) {
  std::vector<std::string> keys;
  std::set<std::string> seen;
  const int count = file.GetKeyCount();
  std::string key;
  std::string value;
  for (int i = 0; i < count; ++i) {
    Require(file.GetKeyAt(i, key, value), "every index below the count has a key");
    Require(seen.insert(key).second, "no key is enumerated twice");
    std::string found;
    Require(file.Lookup(key, found) && found == value, "lookup agrees with the enumeration");
    std::string expanded;
    file.Expand(value, expanded);
    keys.push_back(key);
  }
  Require(!file.GetKeyAt(count, key, value), "no key past the count");
  return keys;
}

}  // namespace

int FuzzSettings(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz_support::AsText(data, size);
  CKeyValueFile file;
  file.LoadFromText(std::string(text));

  std::vector<std::string> keys = CheckEnumeration(file);
  if (keys.empty()) return 0;

  // Edits from the file's own keys: replace the first, remove the last,
  // add one that may be new, then the table must still agree with itself.
  const std::string replaced = keys.front();
  file.AddLine(replaced + " = " + keys.back());
  file.RemoveKey(keys.back());
  file.SetValueVerbatim(keys.front() + "_", "$(" + keys.front() + ")");
  file.RemoveKey(std::string(text.substr(0, text.find('\n'))));
  const size_t before = keys.size();
  keys = CheckEnumeration(file);
  Require(keys.size() <= before + 1, "edits add at most one key");
  for (const std::string& key : keys) file.RemoveKey(key);
  Require(file.GetKeyCount() == 0, "nothing left after removing every key");
  return 0;
}
