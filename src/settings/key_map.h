// CKeyMap: the key -> value map of a settings file, kept in the fixed order
// in which flipdeck enumerates keys. The camera part of the generated C
// names its data in this order, so the order is part of the output.
#pragma once

#include <array>
#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CKeyMap {
 public:
  /// The number of hash buckets of the enumeration order.
  static constexpr int kBucketCount = 17;

  struct Entry {
    std::string key;
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
  size_t Size() const { return m_index.size(); }

  /// The entry at place `index` of the enumeration order (buckets ascending,
  /// newest first within a bucket), or null when `index` >= Size(). Walking
  /// 0, 1, 2, ... costs O(1) per step: the order is flattened once after
  /// each change.
  const Entry* At(size_t index) const;

 private:
  using Bucket = std::list<Entry>;

  struct Place {
    int bucket;
    Bucket::iterator entry;
  };

  // Each bucket holds its entries newest first. List nodes never move, so
  // the index can key on views of the keys they hold.
  std::array<Bucket, kBucketCount> m_buckets;
  std::unordered_map<std::string_view, Place> m_index;
  mutable std::vector<const Entry*> m_order;  // flattened enumeration
  mutable bool m_orderValid = true;
};
