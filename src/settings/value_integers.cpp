#include "settings/value_integers.h"

#include <climits>
#include <cstdint>

namespace {

// The stream rule looks at this many characters after the white space,
// sign and base prefix included.
constexpr size_t kStreamFieldWidth = 15;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of `c` as a digit of `base`, or -1 when it is none.
int DigitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9') digit = c - '0';
  if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

// One integer as both rules read it: white space, sign, base prefix, digits.
// `width` bounds the characters looked at after the white space. `digits`
// tells whether a number was found; a lone "0" before a dead "x" counts.
struct ParsedInt {
  bool digits = false;
  int value = 0;
};

ParsedInt ParseInt(std::string_view text, size_t width) {
  ParsedInt parsed;
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  text = text.substr(i, width);
  i = 0;

  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  int base = 10;
  if (i < text.size() && text[i] == '0') {
    base = 8;
    // "0x" selects hexadecimal only when a hex digit follows; otherwise the
    // "0" alone is the number.
    const bool hexPrefix = i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X');
    if (hexPrefix && i + 2 < text.size() && DigitValue(text[i + 2], 16) >= 0) {
      base = 16;
      i += 2;
    }
  }

  // Huge numbers saturate: the magnitude stops one past INT_MAX, which is
  // exactly INT_MIN's magnitude.
  const int64_t limit = int64_t{INT_MAX} + 1;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) break;
    parsed.digits = true;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) magnitude = limit;
  }
  const int64_t signedValue = negative ? -magnitude : magnitude;
  parsed.value = static_cast<int>(signedValue > INT_MAX ? INT_MAX : signedValue);
  return parsed;
}

}  // namespace

int ReadStreamInt(std::string_view value) { return ParseInt(value, kStreamFieldWidth).value; }

bool ScanInt(std::string_view value, int& out) {
  const ParsedInt parsed = ParseInt(value, std::string_view::npos);
  if (!parsed.digits) return false;
  out = parsed.value;
  return true;
}
