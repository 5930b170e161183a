// The syntax of one settings line: what a key may look like, how a line
// splits into key and value, and how list values split into pieces.
#include "settings/key_value_file.h"
#include "settings/value_integers.h"

namespace {

constexpr size_t kMaxKeyLength = 256;

// ASCII only: the C library's classification would depend on the locale
// and is undefined for negative char values.
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsKeyStart(char c) { return IsAsciiLetter(c) || c == '_' || c == '\\'; }
bool IsKeyChar(char c) { return IsKeyStart(c) || IsAsciiDigit(c) || c == '@' || c == '.'; }

// "  a b \t" -> "  a b"
std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

// "  a b \t" -> "a b"
std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  return TrimRight(text);
}

// The line without its comment: everything from the first "#" on. A line
// that opens with "#" keeps nothing and so never defines a key.
// "A=1 # x" -> "A=1 "
std::string_view WithoutComment(std::string_view line) { return line.substr(0, line.find('#')); }

}  // namespace

bool CKeyValueFile::IsValidKey(std::string_view text) {
  if (text.empty() || text.size() > kMaxKeyLength) return false;
  if (!IsKeyStart(text.front())) return false;
  for (char c : text) {
    if (!IsKeyChar(c)) return false;
  }
  return true;
}

bool CKeyValueFile::ParseKeyLine(std::string_view line, std::string_view& key,
                                 std::string_view& value) {
  const std::string_view text = WithoutComment(line);
  const size_t equals = text.find('=');
  // No "=", or nothing before it: no key line. Leading white space is kept
  // in the key on purpose, so an indented line never defines a key.
  if (equals == std::string_view::npos || equals == 0) return false;
  const std::string_view name = TrimRight(text.substr(0, equals));
  if (!IsValidKey(name)) return false;
  key = name;
  value = Trim(text.substr(equals + 1));
  return true;
}
