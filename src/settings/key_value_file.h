// CKeyValueFile: one loaded TAF or TPF file in flipdeck's KEY=VALUE line
// format. It keeps every line in file order, a map from each key to its raw
// value, expands $(NAME) references, and enumerates its keys in a fixed
// order that the camera part of the generated C depends on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/key_map.h"

/// How a stored line counts: a key line sets a key, the others are kept but
/// ignored.
enum LineKind : int32_t {
  kKeyLine = 0,      // KEY = VALUE
  kCommentLine = 1,  // first character '#' or ';'
  kOtherLine = 2,    // empty lines, text without a valid key
};

class CKeyValueFile {
 public:
  CKeyValueFile();
  virtual ~CKeyValueFile();
  CKeyValueFile(const CKeyValueFile&) = delete;
  CKeyValueFile& operator=(const CKeyValueFile&) = delete;

  /// Reads the file line by line (LF or CR LF, lines of any length) and adds
  /// every line with AddLine. False, and nothing changed, when the file
  /// cannot be opened, is a directory or holds more than kMaxFileSize bytes.
  /// Adds to what the object already holds. The path may use '\\' as
  /// separator on every system.
  bool Load(const std::string& path);

  /// The same for text already in memory: "A=1\r\nB=2" -> keys A and B.
  void LoadFromText(std::string_view text);

  /// Stores one line (without its line end); a key line replaces an earlier
  /// line of the same key in place. Returns the number of lines afterwards.
  int AddLine(std::string_view line);

  /// The raw value of `key`; false and `value` untouched when absent.
  bool Lookup(const std::string& key, std::string& value) const;

  /// `text` with every $(NAME) replaced by the raw value of NAME, repeatedly.
  /// False and `result` untouched when a NAME is no key, a ")" stands before
  /// the first "$(", or the references do not come to an end (more than
  /// kMaxExpansions replacements, or a text longer than kMaxExpandedSize).
  /// With X=abc: `$(X)/d` -> `abc/d`.
  bool Expand(const std::string& text, std::string& result) const;

  /// Adds or replaces the line "key = value", parsed like a line of the file
  /// (a "#" and what follows it are lost). An invalid key gives an other
  /// line and leaves the keys unchanged.
  void SetValue(const std::string& key, const std::string& value);

  /// Sets `key` to `value` exactly as given, without the line parser's
  /// comment cutting and trimming; the line is stored as the key line
  /// {key, "=", value}, in place of an earlier line of the key or at the end.
  /// Used for values the program makes itself, such as a directory name
  /// that holds a "#". Does nothing when `key` is not a valid key.
  void SetValueVerbatim(const std::string& key, const std::string& value);

  /// Removes the first line whose first field is `text` (a key line's key or
  /// an other line's whole text); at most one line goes.
  void RemoveKey(const std::string& text);
  /// Removes line `index` (from 0) and the key named by its first field;
  /// later lines move up. An index out of range does nothing.
  void RemoveLine(int index);
  /// Removes every line and every key.
  void RemoveAllLines();

  /// The LineKind of line `index`; kOtherLine for an index out of range.
  int32_t ClassifyLine(int index) const;

  /// The number of lines in the line table.
  int GetLineCount() const;
  /// The fields of line `index`: {key, "=", value} or {whole text}; no
  /// fields for an index out of range.
  const std::vector<std::string>& GetLineFields(int index) const;

  /// The number of keys.
  int GetKeyCount() const;
  /// Key and raw value at place `index` of the enumeration order: 17 hash
  /// buckets ascending, newest key first within a bucket. Walking the
  /// indexes 0, 1, 2, ... costs O(1) per step.
  bool GetKeyAt(int index, std::string& key, std::string& value) const;

  /// 1 to 256 characters; first an ASCII letter, '_' or '\\'; then letters,
  /// digits, '_', '@', '.' or '\\'.
  static bool IsValidKey(std::string_view text);

  /// Splits a line into {key, "=", value} (returns 3) or {line} (returns 1).
  static int SplitLine(std::vector<std::string>& fields, std::string_view line);

  /// The maximal runs of `text` free of `delimiters`, in order; no empty
  /// pieces. `a,b,,c,` with "," -> a, b, c. Returns the number of pieces.
  static int Tokenize(std::vector<std::string>& pieces, std::string_view text,
                      std::string_view delimiters);

  /// The bucket (0..16) of a key in the enumeration order: h = h * 33 + c
  /// over the signed bytes, 32-bit wrap, modulo 17. `CAM.0.0` -> 12.
  static int KeyBucket(std::string_view key);

  /// Load refuses a file longer than this: no project is near it, and a
  /// device that never ends (/dev/zero) must not exhaust memory.
  static constexpr size_t kMaxFileSize = size_t{64} << 20;
  /// Expand gives up after this many replacements (a reference cycle).
  static constexpr int kMaxExpansions = 1000;
  /// Expand gives up when a replacement makes the text longer than this.
  static constexpr size_t kMaxExpandedSize = size_t{1} << 20;

 private:
  using Fields = std::vector<std::string>;

  // Puts a key line {key, "=", value} at the place of the earlier line of
  // its key, or at the end, and sets the key.
  void StoreKeyLine(Fields fields);
  // Adds one line read from a file or text, without its LF; one CR at its
  // end is dropped. "A=1\r" -> the key line A=1.
  void AddReadLine(std::string_view line);

  struct Line {
    Fields fields;
    bool removed = false;
  };
  // The line at place `index` of the file as it stands now, or null.
  const Line* FindLine(int index) const;
  // Takes line `slot` out of the table and its first field out of the key map.
  void RemoveSlot(size_t slot);

  // Every line ever stored, in file order. A removed line stays behind as a
  // tombstone, so the slots below never move and a TPF file that removes
  // one key per picture costs no more than reading it.
  std::vector<Line> m_lines;
  size_t m_lineCount = 0;  // lines not removed
  // Slot of each key line, so that a repeated key finds its earlier line
  // without a walk over the file. Independent of m_mapKeys: removing an
  // other line whose text equals a key drops the key but not its line.
  std::unordered_map<std::string, size_t> m_keyLines;
  // Slots of the live lines by their first field, in file order: RemoveKey
  // takes the first of them.
  std::unordered_map<std::string, std::vector<size_t>> m_firstFields;
  CKeyMap m_mapKeys;  // key -> raw value, in enumeration order
};
