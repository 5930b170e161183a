#include "settings/value_integers.h"

#include <cstdint>
#include <limits>

namespace {

// The stream rule looks at this many characters after the white space,
// sign and base prefix included.
constexpr size_t kStreamFieldWidth = 15;

// The value of `c` as a digit of `base`, or -1 when it is none.
int DigitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9') digit = c - '0';
  if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

// One integer as every rule reads it: white space, sign, base prefix (unless
// `decimal`), digits. `width` bounds the characters looked at after the
// white space. `digits` tells whether a number was found (a lone "0" before
// a dead "x" counts); `end` is the place behind it in `text`.
IntReading ParseInt(std::string_view text, size_t width, bool decimal) {
  IntReading parsed;
  size_t start = 0;
  while (start < text.size() && IsWhiteSpace(text[start])) ++start;
  const std::string_view field = text.substr(start, width);
  size_t i = 0;

  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';

  int base = 10;
  if (!decimal && i < field.size() && field[i] == '0') {
    base = 8;
    // "0x" selects hexadecimal only when a hex digit follows; otherwise the
    // "0" alone is the number.
    const bool hexPrefix = i + 1 < field.size() && (field[i + 1] == 'x' || field[i + 1] == 'X');
    if (hexPrefix && i + 2 < field.size() && DigitValue(field[i + 2], 16) >= 0) {
      base = 16;
      i += 2;
    }
  }

  // The magnitude stops one past the highest integer, which is exactly the
  // lowest integer's magnitude.
  const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; i < field.size(); ++i) {
    const int digit = DigitValue(field[i], base);
    if (digit < 0) break;
    parsed.digits = true;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) magnitude = limit;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  parsed.value = static_cast<int32_t>(value < limit ? value : limit - 1);
  parsed.end = start + i;
  return parsed;
}

}  // namespace

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int32_t ReadStreamInt(std::string_view value) { return InspectStreamInt(value).value; }

IntReading InspectStreamInt(std::string_view value) {
  return ParseInt(value, kStreamFieldWidth, false);
}

IntReading InspectScanInt(std::string_view value) {
  return ParseInt(value, std::string_view::npos, false);
}

bool ScanInt(std::string_view value, int32_t& out) {
  const IntReading parsed = ParseInt(value, std::string_view::npos, false);
  if (!parsed.digits) return false;
  out = parsed.value;
  return true;
}

bool ScanDecimal(std::string_view text, size_t& pos, int32_t& value) {
  if (pos > text.size()) return false;
  const IntReading parsed = ParseInt(text.substr(pos), std::string_view::npos, true);
  if (!parsed.digits) return false;
  value = parsed.value;
  pos += parsed.end;
  return true;
}
