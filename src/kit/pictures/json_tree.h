// JSON text to a tree that keeps every object's members in file order: the
// sheet reader's one contact with the JSON library. Only this library's
// sources include it; nothing of the library reaches the sheet's headers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

using CJsonTree = nlohmann::ordered_json;

/// Where and why JSON text cannot be read; line and column count from 1,
/// the column in characters; both 0 when memory ran out, which has no place.
struct CJsonSyntaxError {
  size_t line = 0;
  size_t column = 0;
  std::string what;
};

/// Parses the whole of `text` (a leading UTF-8 byte order mark is skipped).
/// On failure `tree` is null and `error` says where the reading stopped
/// and why: `{"a": x}` -> line 1, column 7, "syntax error while parsing
/// value - invalid literal; last read: '"a": x'". Nothing throws.
bool ParseJsonTree(std::string_view text, CJsonTree& tree, CJsonSyntaxError& error);

/// `text` quoted as JSON writes a string: a"b -> "a\"b".
std::string QuoteJson(const std::string& text);
