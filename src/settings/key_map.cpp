#include "settings/key_map.h"

#include <cstdint>
#include <utility>

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

std::string_view CKeyMap::Hold(std::string text) { return m_texts.emplace_back(std::move(text)); }

void CKeyMap::Set(std::string_view key, std::string_view value, int line) {
  if (const auto found = m_nodes.find(key); found != m_nodes.end()) {
    found->second.value = Hold(std::string(value));
    found->second.line = line;
    return;
  }
  // Key and value in one held string.
  const std::string_view both = Hold(std::string(key).append(value));
  SetHeld(both.substr(0, key.size()), both.substr(key.size()), line);
}

void CKeyMap::SetHeld(std::string_view key, std::string_view value, int line) {
  auto [place, inserted] = m_nodes.try_emplace(key);
  Node& node = place->second;
  node.value = value;
  node.line = line;
  // Overwriting keeps the key's place, so the cached order stays valid.
  if (!inserted) return;
  node.bucket = BucketOf(key);
  Item*& newest = m_newest[static_cast<size_t>(node.bucket)];
  node.older = newest;
  if (newest != nullptr) newest->second.newer = &*place;
  newest = &*place;
  m_orderValid = false;
}

bool CKeyMap::Remove(std::string_view key) {
  auto found = m_nodes.find(key);
  if (found == m_nodes.end()) return false;
  Node& node = found->second;
  if (node.newer != nullptr) {
    node.newer->second.older = node.older;
  } else {
    m_newest[static_cast<size_t>(node.bucket)] = node.older;
  }
  if (node.older != nullptr) node.older->second.newer = node.newer;
  m_nodes.erase(found);
  m_orderValid = false;
  return true;
}

std::optional<std::string_view> CKeyMap::Find(std::string_view key) const {
  const auto found = m_nodes.find(key);
  if (found == m_nodes.end()) return std::nullopt;
  return found->second.value;
}

std::optional<CKeyMap::Entry> CKeyMap::FindEntry(std::string_view key) const {
  const auto found = m_nodes.find(key);
  if (found == m_nodes.end()) return std::nullopt;
  return ToEntry(*found);
}

std::optional<CKeyMap::Entry> CKeyMap::At(size_t index) const {
  if (index >= m_nodes.size()) return std::nullopt;
  if (!m_orderValid) {
    m_order.clear();
    m_order.reserve(m_nodes.size());
    for (const Item* newest : m_newest) {
      for (const Item* item = newest; item != nullptr; item = item->second.older)
        m_order.push_back(item);
    }
    m_orderValid = true;
  }
  return ToEntry(*m_order[index]);
}
