// The two ways flipdeck reads integers out of settings values.
#pragma once

#include <string_view>

/// Stream rule (TAF integers): optional white space and sign, then "0x"/"0X"
/// hexadecimal, a leading "0" octal, decimal otherwise; at most 15
/// characters are looked at; the rest is ignored; no digit gives 0.
/// `010` -> 8, `08` -> 0, `0x1A` -> 26, `12 frames` -> 12.
int ReadStreamInt(std::string_view value);

/// "%i" rule (TPF numbers): like the C library's scanf "%i". Returns false
/// and leaves `out` unchanged when `value` does not begin with a number.
bool ScanInt(std::string_view value, int& out);
