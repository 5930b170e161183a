#include "settings/key_map.h"

#include <cstdint>

int CKeyMap::BucketOf(std::string_view key) {
  uint32_t hash = 0;
  for (char c : key) {
    // A byte of 128 or more counts as its value minus 256; in unsigned
    // arithmetic that wraps modulo 2^32, exactly like the sum.
    uint32_t byte = static_cast<unsigned char>(c);
    if (byte >= 128) byte -= 256;
    hash = hash * 33 + byte;
  }
  return static_cast<int>(hash % kBucketCount);
}

void CKeyMap::Set(std::string_view key, std::string_view value, int line) {
  auto found = m_index.find(key);
  if (found != m_index.end()) {
    // Overwriting keeps the key's place, so the cached order stays valid.
    found->second.entry->value.assign(value);
    found->second.entry->line = line;
    return;
  }
  const int bucket = BucketOf(key);
  Bucket& list = m_buckets[static_cast<size_t>(bucket)];
  list.push_front(Entry{std::string(key), std::string(value), line});
  m_index.emplace(std::string_view(list.front().key), Place{bucket, list.begin()});
  m_orderValid = false;
}

bool CKeyMap::Remove(std::string_view key) {
  auto found = m_index.find(key);
  if (found == m_index.end()) return false;
  const Place place = found->second;
  // The index keys on a view into the list node: drop the index entry first.
  m_index.erase(found);
  m_buckets[static_cast<size_t>(place.bucket)].erase(place.entry);
  m_orderValid = false;
  return true;
}

const std::string* CKeyMap::Find(std::string_view key) const {
  const Entry* entry = FindEntry(key);
  return entry != nullptr ? &entry->value : nullptr;
}

const CKeyMap::Entry* CKeyMap::FindEntry(std::string_view key) const {
  auto found = m_index.find(key);
  if (found == m_index.end()) return nullptr;
  return &*found->second.entry;
}

const CKeyMap::Entry* CKeyMap::At(size_t index) const {
  if (index >= m_index.size()) return nullptr;
  if (!m_orderValid) {
    m_order.clear();
    m_order.reserve(m_index.size());
    for (const Bucket& bucket : m_buckets) {
      for (const Entry& entry : bucket) m_order.push_back(&entry);
    }
    m_orderValid = true;
  }
  return m_order[index];
}
