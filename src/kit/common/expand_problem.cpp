#include "kit/common/expand_problem.h"

#include <set>
#include <string_view>
#include <vector>

#include "settings/key_value_file.h"

namespace {

// Whether the value of `name` refers back to `name`, directly or through
// the values it refers to. A reference is read as "$(" up to the next ")";
// references that only come about as replacements join pieces of text are
// not followed, so a false answer means no cycle of plain references.
bool RefersBackTo(const CKeyValueFile& settings, const std::string& name) {
  std::set<std::string, std::less<>> seen;
  std::vector<std::string_view> pending = {name};
  while (!pending.empty()) {
    const std::optional<std::string_view> value = settings.Find(pending.back());
    pending.pop_back();
    if (!value) continue;
    for (size_t open = value->find("$("); open != std::string_view::npos;
         open = value->find("$(", open + 2)) {
      const size_t close = value->find(')', open + 2);
      if (close == std::string_view::npos) break;
      const std::string_view referred = value->substr(open + 2, close - open - 2);
      if (referred == name) return true;
      if (seen.emplace(referred).second) pending.push_back(referred);
    }
  }
  return false;
}

}  // namespace

std::string DescribeExpandProblem(const CExpandProblem& problem, const CKeyValueFile& settings) {
  const std::string reference = "$(" + problem.name + ")";
  switch (problem.kind) {
    case CExpandProblem::Kind::kUndefined:
      return reference + " names no key";
    case CExpandProblem::Kind::kCloseFirst:
      return "a ')' stands before its first '$('";
    case CExpandProblem::Kind::kEndless:
      if (RefersBackTo(settings, problem.name)) return reference + " leads back to itself";
      return reference + " is still to be replaced after " +
             std::to_string(CKeyValueFile::kMaxExpansions) +
             " replacements, where flipdeck gives up";
    case CExpandProblem::Kind::kTooLong:
      return reference + " makes it longer than " +
             std::to_string(CKeyValueFile::kMaxExpandedSize >> 20) + " MiB";
    case CExpandProblem::Kind::kNone:
      break;
  }
  return "";
}
