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

bool CPaletteBuilder::AppendImposed(std::span<const uint16_t> entries, PaletteType type) {
  bool all = true;
  for (const uint16_t entry : entries) {
    if (!Append(entry)) {
      all = false;
      break;
    }
  }
  // A pixel nobody sees asks for kHiddenEntry; the palette may hold that
  // transparency under any colour, or hold none.
  m_firstIndex[kHiddenEntry] = kAbsent;
  const auto hidden = std::ranges::find_if(
      m_entries, [type](uint16_t entry) { return IsHiddenEntry(entry, type); });
  if (hidden != m_entries.end())
    m_firstIndex[kHiddenEntry] = static_cast<int32_t>(hidden - m_entries.begin());
  return all;
}

std::vector<int> CPaletteBuilder::PutHiddenFirst() {
  const int32_t at = m_firstIndex[kHiddenEntry];
  if (at == kAbsent || at == 0) return {};
  std::vector<int> moves(m_entries.size());
  for (int index = 0; index < GetCount(); ++index)
    moves[static_cast<size_t>(index)] = index < at ? index + 1 : index;
  moves[static_cast<size_t>(at)] = 0;
  std::rotate(m_entries.begin(), m_entries.begin() + at, m_entries.begin() + at + 1);
  // Downwards, so that an entry given twice is found at its first place.
  for (int index = at; index >= 0; --index)
    m_firstIndex[m_entries[static_cast<size_t>(index)]] = index;
  return moves;
}

int CPaletteBuilder::FindFirst(uint16_t entry) const { return m_firstIndex[entry]; }
