// CKeyMap: the key -> value map of a settings file, kept in the fixed order
// in which flipdeck enumerates keys. The camera part of the generated C
// names its data in this order, so the order is part of the output.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CKeyMap {
 public:
  /// The number of hash buckets of the enumeration order.
  static constexpr int kBucketCount = 17;

  /// A key with its value, as views into text the map holds.
  struct Entry {
    std::string_view key;
    std::string_view value;
    /// The line of the settings file that set the value last; 0 for a value
    /// the program set itself. Only messages use it.
    int line = 0;
  };

  CKeyMap() = default;
  CKeyMap(const CKeyMap&) = delete;
  CKeyMap& operator=(const CKeyMap&) = delete;

  /// The bucket of `key`: h = h * 33 + c over its bytes, c read as a signed
  /// byte, in 32-bit unsigned arithmetic, then modulo 17. `CAM.0.0` -> 12,
  /// `CAM.1.0` -> 13.
  static int BucketOf(std::string_view key);

  /// Holds `text` for as long as the map lives and returns a view of it:
  /// keys and values set with SetHeld may view into it.
  std::string_view Hold(std::string text);

  /// Sets `key` to `value`, set by line `line` (0: by the program), copying
  /// both. A new key becomes the newest of its bucket; an existing key keeps
  /// its place and only changes its value and line.
  void Set(std::string_view key, std::string_view value, int line = 0);
  /// The same for a key and value that view into text given to Hold: a whole
  /// settings file is held once instead of copied key by key.
  void SetHeld(std::string_view key, std::string_view value, int line);

  /// Removes `key`; a later Set of it counts as new. False when absent.
  bool Remove(std::string_view key);

  /// The value of `key`, viewing into the map; nothing when absent.
  std::optional<std::string_view> Find(std::string_view key) const;
  /// The entry of `key`; nothing when absent.
  std::optional<Entry> FindEntry(std::string_view key) const;

  /// The number of keys.
  size_t Size() const { return m_nodes.size(); }
  /// Makes room for `count` keys without growing again.
  void Reserve(size_t count) { m_nodes.reserve(count); }

  /// The entry at place `index` of the enumeration order (buckets ascending,
  /// newest first within a bucket); nothing when `index` >= Size(). Walking
  /// 0, 1, 2, ... costs O(1) per step: the order is flattened once after
  /// each change.
  std::optional<Entry> At(size_t index) const;

 private:
  struct Node;
  // Lookups by string_view need no string of their own. A hash that cannot
  // throw is not stored beside each key: the table is sized once per file,
  // so keys are seldom hashed twice.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const noexcept {
      return std::hash<std::string_view>{}(key);
    }
  };
  using Nodes = std::pmr::unordered_map<std::string_view, Node, Hash, std::equal_to<>>;
  using Item = Nodes::value_type;
  // The map's node holds the value and the key's place in its bucket's
  // list, newest to oldest. Nodes never move, so the links stay valid.
  struct Node {
    std::string_view value;
    int line = 0;
    int bucket = 0;
    Item* newer = nullptr;
    Item* older = nullptr;
  };

  static Entry ToEntry(const Item& item) {
    return {item.first, item.second.value, item.second.line};
  }

  // The text keys and values view into: whole files, and what Set copied.
  // A deque never moves what it holds, so the views stay valid.
  std::deque<std::string> m_texts;
  // The nodes come from one growing arena and go back all at once with the
  // map: a settings file holds tens of thousands of keys and drops few.
  std::pmr::monotonic_buffer_resource m_arena;
  Nodes m_nodes{&m_arena};
  std::array<Item*, kBucketCount> m_newest{};  // each bucket's newest key
  mutable std::vector<const Item*> m_order;    // flattened enumeration
  mutable bool m_orderValid = true;
};
