// Did-you-mean for names flipdeck never reads: the known name nearest to a
// misspelt one, as compilers suggest a declared name for an undeclared one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The candidate nearest to `name` by edits (insert, delete, replace, swap
/// two neighbours; case ignored), when it is near enough to be a slip: at
/// most one edit in four characters, and at most two. "" when none is.
/// `FRAME_LENTH` -> `FRAME_LENGTH`; `PICT_NUMS` -> `PICT_NUM`; `FOO` -> "".
std::string NearestName(std::string_view name, const std::vector<std::string>& candidates);

/// `pattern` with each "#" replaced by the next run of digits of `name`,
/// written without leading zeros; "" when `name` has too few runs.
/// ("FRAME_KEY#", "FRAMEKEY02") -> "FRAME_KEY2"; ("TPF.#.FILE", "TPF.1.FIEL") -> "TPF.1.FILE".
std::string FillDigits(std::string_view pattern, std::string_view name);
