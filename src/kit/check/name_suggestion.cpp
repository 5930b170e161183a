#include "kit/check/name_suggestion.h"

#include <algorithm>

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Edits from `a` to `b`, a swap of neighbours counting one (optimal string
// alignment), letters compared without case.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = Upper(a[i - 1]) == Upper(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && Upper(a[i - 1]) == Upper(b[j - 2]) &&
          Upper(a[i - 2]) == Upper(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string NearestName(std::string_view name, const std::vector<std::string>& candidates) {
  const size_t allowed = std::min<size_t>(2, std::max<size_t>(1, name.size() / 4));
  std::string best;
  size_t bestDistance = allowed + 1;
  for (const std::string& candidate : candidates) {
    if (candidate.empty() || candidate == name) continue;
    const size_t distance = EditDistance(name, candidate);
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::string FillDigits(std::string_view pattern, std::string_view name) {
  std::string filled;
  size_t at = 0;
  for (char c : pattern) {
    if (c != '#') {
      filled.push_back(c);
      continue;
    }
    while (at < name.size() && !IsDigit(name[at])) ++at;
    if (at == name.size()) return "";
    size_t end = at;
    while (end < name.size() && IsDigit(name[end])) ++end;
    std::string_view digits = name.substr(at, end - at);
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    filled += digits;
    at = end;
  }
  return filled;
}
