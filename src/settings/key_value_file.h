// CKeyValueFile: one loaded TAF or TPF file in flipdeck's KEY=VALUE line
// format. It keeps a map from each key to its raw value, expands $(NAME)
// references, and enumerates its keys in a fixed order that the camera part
// of the generated C depends on. Lines that define no key (comments, empty
// lines, text without a valid key) take no part in anything flipdeck does,
// so they are not kept.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/key_map.h"

/// Why Expand could not replace the references of a value: the kind, and
/// the reference it was replacing (the key that is not defined, or one on
/// the cycle that never ends).
struct CExpandProblem {
  enum class Kind { kNone, kUndefined, kCloseFirst, kEndless, kTooLong };
  Kind kind = Kind::kNone;
  std::string name;
};

class CKeyValueFile {
 public:
  CKeyValueFile() = default;
  CKeyValueFile(const CKeyValueFile&) = delete;
  CKeyValueFile& operator=(const CKeyValueFile&) = delete;

  /// Reads the file and adds every line with AddLine. False, and nothing
  /// changed, when the file cannot be opened, is a directory or holds more
  /// than kMaxFileSize bytes. Adds to what the object already holds. The
  /// path may use '\\' as separator on every system.
  bool Load(const std::string& path);

  /// The whole text of the settings file at `path`, as Load reads it; false
  /// where Load fails.
  static bool ReadText(const std::string& path, std::string& text);

  /// The same for text already in memory. Lines end at LF; a CR before it
  /// needs no handling, since the value trimming drops it:
  /// "A=1\r\nB=2" -> keys A and B, set by lines 1 and 2.
  void LoadFromText(std::string text);

  /// Calls `visit(number, line)` for every line of `text` as LoadFromText
  /// splits it, numbered from 1, without its LF: "a\nb" -> (1, a), (2, b).
  template <typename Visit>
  static void ForEachLine(std::string_view text, Visit&& visit) {
    for (int number = 1; !text.empty(); ++number) {
      const size_t newline = text.find('\n');
      visit(number, text.substr(0, newline));
      if (newline == std::string_view::npos) return;
      text.remove_prefix(newline + 1);
    }
  }

  /// Reads one line (without its line end), line `lineNumber` of its file
  /// (0 when it comes from no file): a key line sets its key, where a
  /// repeated key keeps its place in the enumeration order and the last
  /// value wins; any other line changes nothing.
  void AddLine(std::string_view line, int lineNumber = 0);

  /// The raw value of `key`; false and `value` untouched when absent.
  bool Lookup(const std::string& key, std::string& value) const;
  /// The raw value of `key` where it is held, or nothing when absent: a
  /// lookup that copies nothing. The view holds while the object lives.
  std::optional<std::string_view> Find(std::string_view key) const { return m_mapKeys.Find(key); }
  /// The line that set the current value of `key`; 0 when the key is
  /// absent or its value was set by the program (SetValueVerbatim).
  int GetKeyLine(std::string_view key) const;

  /// `text` with every $(NAME) replaced by the raw value of NAME, repeatedly.
  /// False and `result` untouched when a NAME is no key, a ")" stands before
  /// the first "$(", or the references do not come to an end (more than
  /// kMaxExpansions replacements, or a text longer than kMaxExpandedSize).
  /// With X=abc: `$(X)/d` -> `abc/d`. On failure `problem`, when given,
  /// says why: with A=$(A), `$(A)` -> kEndless, name A.
  bool Expand(std::string_view text, std::string& result, CExpandProblem* problem = nullptr) const;

  /// Sets `key` to `value` exactly as given, without the line parser's
  /// comment cutting and trimming. Used for values the program makes itself,
  /// such as a directory name that holds a "#". Does nothing when `key` is
  /// not a valid key.
  void SetValueVerbatim(const std::string& key, const std::string& value);

  /// Removes `key`; a later line that sets it again counts as a new key.
  void RemoveKey(const std::string& key);

  /// The number of keys.
  int GetKeyCount() const;
  /// Key and raw value at place `index` of the enumeration order: 17 hash
  /// buckets ascending, newest key first within a bucket. Walking the
  /// indexes 0, 1, 2, ... costs O(1) per step.
  bool GetKeyAt(int index, std::string& key, std::string& value) const;
  /// The keys that begin with `prefix`, in the enumeration order, as views
  /// that hold while the keys do not change: "CAM." -> the camera keys.
  std::vector<std::string_view> GetKeysBeginningWith(std::string_view prefix) const;

  /// 1 to 256 characters; first an ASCII letter, '_' or '\\'; then letters,
  /// digits, '_', '@', '.' or '\\'.
  static bool IsValidKey(std::string_view text);

  /// Reads a key line: true with `key` and `value` viewing into `line`, or
  /// false for any other line. A comment runs from the first "#"; the key
  /// ends before the first "=" less trailing blanks, the value is trimmed.
  /// "K = a = b # x" -> K, "a = b"; "  K=1" (indented) and "#K=1" -> false.
  static bool ParseKeyLine(std::string_view line, std::string_view& key, std::string_view& value);

  /// The maximal runs of `text` free of `delimiters`, in order; no empty
  /// pieces. `a,b,,c,` with "," -> a, b, c. Returns the number of pieces.
  /// Pieces are strings, or views into `text`.
  template <class Piece>
  static int Tokenize(std::vector<Piece>& pieces, std::string_view text,
                      std::string_view delimiters) {
    pieces.clear();
    for (size_t start = text.find_first_not_of(delimiters); start != std::string_view::npos;) {
      const size_t end = text.find_first_of(delimiters, start);
      pieces.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
      start = text.find_first_not_of(delimiters, end);
    }
    return static_cast<int>(pieces.size());
  }

  /// Load refuses a file longer than this: no project is near it, and a
  /// device that never ends (/dev/zero) must not exhaust memory.
  static constexpr size_t kMaxFileSize = size_t{64} << 20;
  /// Expand gives up after this many replacements (a reference cycle).
  static constexpr int kMaxExpansions = 1000;
  /// Expand gives up when a replacement makes the text longer than this.
  static constexpr size_t kMaxExpandedSize = size_t{1} << 20;

 private:
  CKeyMap m_mapKeys;  // key -> raw value, in enumeration order
};
