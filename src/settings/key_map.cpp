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
  auto found = m_nodes.find(key);
  if (found != m_nodes.end()) {
    // Overwriting keeps the key's place, so the cached order stays valid.
    found->second.entry.value.assign(value);
    found->second.entry.line = line;
    return;
  }
  auto [place, inserted] = m_nodes.try_emplace(std::string(key));
  Node& node = place->second;
  node.entry.key = place->first;
  node.entry.value.assign(value);
  node.entry.line = line;
  node.bucket = BucketOf(key);
  Node*& newest = m_newest[static_cast<size_t>(node.bucket)];
  node.older = newest;
  if (newest != nullptr) newest->newer = &node;
  newest = &node;
  m_orderValid = false;
}

bool CKeyMap::Remove(std::string_view key) {
  auto found = m_nodes.find(key);
  if (found == m_nodes.end()) return false;
  Node& node = found->second;
  if (node.newer != nullptr) {
    node.newer->older = node.older;
  } else {
    m_newest[static_cast<size_t>(node.bucket)] = node.older;
  }
  if (node.older != nullptr) node.older->newer = node.newer;
  m_nodes.erase(found);
  m_orderValid = false;
  return true;
}

const std::string* CKeyMap::Find(std::string_view key) const {
  const Entry* entry = FindEntry(key);
  return entry != nullptr ? &entry->value : nullptr;
}

const CKeyMap::Entry* CKeyMap::FindEntry(std::string_view key) const {
  auto found = m_nodes.find(key);
  if (found == m_nodes.end()) return nullptr;
  return &found->second.entry;
}

const CKeyMap::Entry* CKeyMap::At(size_t index) const {
  if (index >= m_nodes.size()) return nullptr;
  if (!m_orderValid) {
    m_order.clear();
    m_order.reserve(m_nodes.size());
    for (const Node* newest : m_newest) {
      for (const Node* node = newest; node != nullptr; node = node->older)
        m_order.push_back(&node->entry);
    }
    m_orderValid = true;
  }
  return m_order[index];
}
