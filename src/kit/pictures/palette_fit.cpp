#include "kit/pictures/palette_fit.h"

#include <algorithm>

#include "kit/common/diagnostics.h"

CPaletteFit::CPaletteFit(std::span<const uint16_t> entries, PaletteType type)
    : m_type(type),
      m_lookup(static_cast<int>(entries.size())),
      m_used(entries.size(), false),
      m_isAsked(65536, false) {
  m_lookup.AppendImposed(entries, type);
}

int CPaletteFit::Take(uint16_t entry, const CNewColour& where) {
  const int index = m_lookup.FindFirst(entry);
  if (index >= 0) {
    m_used[static_cast<size_t>(index)] = true;
    return index;
  }
  if (!m_isAsked[entry]) {
    m_isAsked[entry] = true;
    m_asked.push_back({entry, where});
  }
  return -1;
}

void CPaletteFit::Use(int index) {
  if (index >= 0 && static_cast<size_t>(index) < m_used.size())
    m_used[static_cast<size_t>(index)] = true;
}

bool CPaletteFit::Place(CNewColour& full) {
  std::vector<uint16_t> entries = m_lookup.GetEntries();
  std::vector<bool> used = m_used;
  for (const CAsked& asked : m_asked) {
    const auto free = std::find(used.begin(), used.end(), false);
    if (free == used.end()) {
      full = asked.where;
      return false;
    }
    *free = true;
    entries[static_cast<size_t>(free - used.begin())] = asked.entry;
  }
  // Replacing entries no pixel uses moves no colour that a pixel shows:
  // each keeps its first index, and the new ones were in no entry before.
  m_lookup = CPaletteBuilder(static_cast<int>(entries.size()));
  m_lookup.AppendImposed(entries, m_type);
  m_used = std::move(used);
  m_asked.clear();
  return true;
}

bool ReportNoPlace(const CNewColour& full, const std::string& palette, size_t entries) {
  return ReportKitError(full.file, (full.part.empty() ? "" : full.part + ": ") +
                                       PixelName(full.x, full.y) + " is " +
                                       ColourName(full.colour) + ", which has no place in " +
                                       palette + ": its " + std::to_string(entries) +
                                       " entries are all in use; nothing written");
}
