#include "kit/pictures/palette_fit.h"

#include <algorithm>

#include "kit/common/diagnostics.h"

CPaletteFit::CPaletteFit(std::span<const uint16_t> entries, PaletteType type)
    : m_type(type),
      m_lookup(static_cast<int>(entries.size())),
      m_used(entries.size(), 0),
      m_isAsked(65536, false) {
  m_lookup.AppendImposed(entries, type);
}

void CPaletteFit::Ask(uint16_t entry, const CNewColour& where) {
  if (m_isAsked[entry]) return;
  m_isAsked[entry] = true;
  m_asked.push_back({entry, where});
}

void CPaletteFit::Use(int index) {
  if (index >= 0 && static_cast<size_t>(index) < m_used.size())
    m_used[static_cast<size_t>(index)] = 1;
}

bool CPaletteFit::Place(CNewColour& full) {
  std::vector<uint16_t> entries = m_lookup.GetEntries();
  std::vector<uint8_t> used = m_used;
  for (const CAsked& asked : m_asked) {
    const auto free = std::find(used.begin(), used.end(), 0);
    if (free == used.end()) {
      full = asked.where;
      return false;
    }
    *free = 1;
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

bool ReportNoPlace(const CNewColour& full, const std::string& palette, size_t entries,
                   const CKitReporter& reporter) {
  return reporter.Error(full.file, (full.part.empty() ? "" : full.part + ": ") +
                                      PixelName(full.x, full.y) + " is " +
                                      ColourName(full.colour) + ", which has no place in " +
                                      palette + ": its " + std::to_string(entries) +
                                      " entries are all in use; nothing written");
}
