// $(NAME) references inside settings values. A TPF value such as
// "$(TPF_DIR)\tex" or a TAF value built from other keys is expanded here.
#include "settings/key_value_file.h"

#include <string_view>
#include <utility>

namespace {

bool Fail(CExpandProblem* problem, CExpandProblem::Kind kind, std::string_view name) {
  if (problem != nullptr) *problem = {kind, std::string(name)};
  return false;
}

}  // namespace

bool CKeyValueFile::Expand(std::string_view text, std::string& result,
                           CExpandProblem* problem) const {
  using Kind = CExpandProblem::Kind;
  std::string work(text);
  for (int replaced = 0;; ++replaced) {
    // Every pass searches from the start, so references that a value brings
    // in are expanded by the passes that follow.
    const size_t open = work.find("$(");
    const size_t close = work.find(')');
    if (open == std::string::npos || close == std::string::npos) {
      result = std::move(work);
      return true;
    }
    // A ")" ahead of the first reference cannot close it; a reference
    // nested in another one ends up here too, its name holding "$(".
    if (close < open) return Fail(problem, Kind::kCloseFirst, "");
    const std::string_view name = std::string_view(work).substr(open + 2, close - open - 2);
    const std::optional<std::string_view> value = m_mapKeys.Find(name);
    if (!value) return Fail(problem, Kind::kUndefined, name);

    // A reference that leads back to itself would grow or repeat forever.
    if (replaced == kMaxExpansions) return Fail(problem, Kind::kEndless, name);
    const size_t newSize = work.size() - (close + 1 - open) + value->size();
    if (newSize > kMaxExpandedSize) return Fail(problem, Kind::kTooLong, name);
    work.replace(open, close + 1 - open, *value);
  }
}
