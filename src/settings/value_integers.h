// How flipdeck reads integers out of settings values and key names, and the
// white space its readers skip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

/// The C library's white space in the "C" locale: blank, tab, LF, VT, FF, CR.
bool IsWhiteSpace(char c);

/// Stream rule (TAF integers): optional white space and sign, then "0x"/"0X"
/// hexadecimal, a leading "0" octal, decimal otherwise; at most 15
/// characters are looked at; the rest is ignored; no digit gives 0.
/// `010` -> 8, `08` -> 0, `0x1A` -> 26, `12 frames` -> 12.
int32_t ReadStreamInt(std::string_view value);

/// "%i" rule (TPF numbers): like the C library's scanf "%i". Returns false
/// and leaves `out` unchanged when `value` does not begin with a number.
bool ScanInt(std::string_view value, int32_t& out);

/// "%d" rule (key frames, camera keys): white space, an optional sign, then
/// decimal digits, read from `pos` on. Sets `value` and moves `pos` behind
/// the digits; false, both untouched, when no digit follows.
/// ("x=-12,a", 2) -> -12, pos 5.
bool ScanDecimal(std::string_view text, size_t& pos, int32_t& value);

/// How far a rule got in `value`: the number it gives, whether a digit was
/// found at all (no digit gives 0), and the place behind the last character
/// it read. Stream rule: "12 frames" -> 12, digits, end 2; "twelve" -> 0, no
/// digits. Messages use it to say what was read and what was ignored.
struct IntReading {
  bool digits = false;
  int32_t value = 0;
  size_t end = 0;
};
/// The stream rule's reading: ReadStreamInt(v) is InspectStreamInt(v).value.
IntReading InspectStreamInt(std::string_view value);
/// The "%i" rule's reading: ScanInt succeeds exactly when it found digits.
IntReading InspectScanInt(std::string_view value);

// Every rule saturates: a number beyond the 32-bit range reads as the
// nearest end of it (99999999999 -> 2147483647, -99999999999 -> -2147483648).
