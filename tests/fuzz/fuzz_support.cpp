// The input splitting and the abort on a broken promise that the fuzz
// entry functions share.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz_entries.h"

namespace fuzz_support {

std::string_view AsText(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  return {reinterpret_cast<const char*>(data), size};
}

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  for (;;) {
    const size_t at = text.find(separator);
    if (at == std::string_view::npos) break;
    pieces.emplace_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  pieces.emplace_back(text);
  return pieces;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
  std::abort();
}

}  // namespace fuzz_support
