#include "image/palette_builder.h"

#include <algorithm>

CPaletteBuilder::CPaletteBuilder(int limit)
    : m_limit(std::clamp(limit, 1, 65536)), m_firstIndex(65536, kAbsent) {
  m_entries.reserve(static_cast<size_t>(m_limit));
}

int CPaletteBuilder::IndexOf(uint16_t entry) {
  const int32_t found = m_firstIndex[entry];
  if (found != kAbsent) return found;
  if (!Append(entry)) return -1;
  return m_firstIndex[entry];
}

bool CPaletteBuilder::Append(uint16_t entry) {
  if (IsFull()) return false;
  if (m_firstIndex[entry] == kAbsent) m_firstIndex[entry] = GetCount();
  m_entries.push_back(entry);
  return true;
}

bool CPaletteBuilder::AppendAll(std::span<const uint16_t> entries) {
  for (const uint16_t entry : entries)
    if (!Append(entry)) return false;
  return true;
}

int CPaletteBuilder::FindFirst(uint16_t entry) const { return m_firstIndex[entry]; }
