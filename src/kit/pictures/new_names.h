// The names new writes into a project: picture names from file names, and
// the test that every name it writes into a TAF or TPF value reads back
// as written, so that every project new writes converts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// `name` with ASCII letters in lower case, as Windows and macOS compare
/// the names new writes: "Walk-Run.taf" -> "walk-run.taf".
std::string FoldCase(std::string name);

/// Picture names from file names, made into names the TAF can quote (ASCII
/// letters, digits and '_', not starting with a digit) and unique even
/// where case is ignored: `walk 1.png`, `walk-1.png`, `2.png`, `Walk_1.png`
/// -> walk_1, walk_1_2, _2, Walk_1_3.
std::vector<std::string> PictureNames(const std::vector<std::string>& pictures);

/// What in `text` a value of the project files cannot carry, the first
/// such character named with what flipdeck would make of it; "" when it
/// reads back as written. A line end would start another key, '#' a
/// comment, ',' another field of a picture, "$(" a reference to a key:
/// `a,b` -> "',', which separates the fields of a picture"; `walk 1` -> "".
std::string ValueTrouble(std::string_view text);
