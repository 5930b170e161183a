#include "kit/build/depfile_spelling.h"

namespace {

// Characters one of the two cannot take in a path whatever the spelling:
// Ninja ends a name at each of them, while make reads ';' as the start of a
// recipe, '=' as a variable, '|' as order-only, and '*', '?' and '[' as
// wildcards that may match another file instead.
constexpr std::string_view kUnreadable = "\"&'*;<=>?[^`|";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// Whether the byte at `at` is a Windows drive's colon ("C:"), which both
// read as it is and which is no rule separator to make on Windows.
bool IsDriveColon(std::string_view path, size_t at, PathStyle style) {
  if (style != PathStyle::Windows || at != 1) return false;
  const char drive = path[0];
  return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
}

// The first reason why `path` cannot be spelt for both, or "".
std::string FindFault(std::string_view path, DepfileSide side) {
  if (path.starts_with('~')) return "begins with '~'";  // make's home directory
  // make reads "lib(member)" as a member of an archive.
  if (path.ends_with(')') && path.find('(', 1) != std::string_view::npos)
    return "ends in ')' after a '('";
  if (path.ends_with('\\')) return "ends in '\\'";
  if (path.ends_with(':')) return "ends in ':'";  // Ninja's end of a target, even a drive's
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (IsControl(static_cast<unsigned char>(c)))
      return "holds a line end or another control character";
    if (kUnreadable.find(c) != std::string_view::npos) return std::string("holds '") + c + "'";
    if (c == '%' && side == DepfileSide::kTarget) return "holds '%' in a target";
    // make halves the backslashes before these and Ninja takes one away.
    const bool escapedNext =
        i + 1 < path.size() && std::string_view("#:$").find(path[i + 1]) != std::string_view::npos;
    if (c == '\\' && escapedNext) return std::string("holds '\\' before '") + path[i + 1] + "'";
  }
  return "";
}

}  // namespace

bool SpellForDepfile(std::string_view path, DepfileSide side, PathStyle style, std::string& spelt,
                     std::string& fault) {
  spelt.clear();
  fault = FindFault(path, side);
  if (!fault.empty()) {
    fault += ", which make or Ninja misreads in a dependency file";
    return false;
  }
  size_t backslashes = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    // Before a blank both read 2N+1 backslashes as N and an escaped blank.
    if (c == ' ') spelt.append(backslashes, '\\');
    backslashes = c == '\\' ? backslashes + 1 : 0;
    if (c == ' ' || c == '#' || (c == ':' && !IsDriveColon(path, i, style))) spelt += '\\';
    if (c == '$') spelt += '$';
    spelt += c;
  }
  return true;
}
