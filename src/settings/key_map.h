// CKeyMap: the key -> value map of a settings file, kept in the fixed order
// in which flipdeck enumerates keys. The camera part of the generated C
// names its data in this order, so the order is part of the output.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CKeyMap {
 public:
  /// The number of hash buckets of the enumeration order.
  static constexpr int kBucketCount = 17;

  struct Entry {
    std::string_view key;  // held by the map
    std::string value;
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

  /// Sets `key` to `value`, set by line `line` (0: by the program). A new
  /// key becomes the newest of its bucket; an existing key keeps its place
  /// and only changes its value and line.
  void Set(std::string_view key, std::string_view value, int line = 0);

  /// Removes `key`; a later Set of it counts as new. False when absent.
  bool Remove(std::string_view key);

  /// The value of `key`, or null when absent.
  const std::string* Find(std::string_view key) const;
  /// The entry of `key`, or null when absent.
  const Entry* FindEntry(std::string_view key) const;

  /// The number of keys.
  size_t Size() const { return m_nodes.size(); }
  /// Makes room for `count` keys without growing again.
  void Reserve(size_t count) { m_nodes.reserve(count); }

  /// The entry at place `index` of the enumeration order (buckets ascending,
  /// newest first within a bucket), or null when `index` >= Size(). Walking
  /// 0, 1, 2, ... costs O(1) per step: the order is flattened once after
  /// each change.
  const Entry* At(size_t index) const;

 private:
  // One allocation a key: the map's node holds the entry and its place in
  // its bucket's list, newest to oldest. Nodes never move, so the links and
  // the entry's view of the key stay valid.
  struct Node {
    Entry entry;
    int bucket = 0;
    Node* newer = nullptr;
    Node* older = nullptr;
  };
  // Lookups by string_view need no string of their own.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
  };

  std::unordered_map<std::string, Node, Hash, std::equal_to<>> m_nodes;
  std::array<Node*, kBucketCount> m_newest{};  // each bucket's newest node
  mutable std::vector<const Entry*> m_order;   // flattened enumeration
  mutable bool m_orderValid = true;
};
