// CPaletteBuilder: the palette of 16-bit entries that a set of pixels uses,
// in the order the pixels first show each entry, with a limit on its size.
// It serves three jobs of the importer: counting the colours of one picture,
// growing one palette shared by several pictures, and looking pixels up in a
// palette imposed from outside. Pixels nobody can see are one colour,
// kHiddenEntry (colour.h): a palette built here keeps it at index 0, and in
// an imposed palette it stands for the first entry that shows nothing.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "image/colour.h"

class CPaletteBuilder {
 public:
  /// An empty palette that takes at most `limit` entries (16 or 256 for a
  /// TLF palette; clamped to 1 .. 65536).
  explicit CPaletteBuilder(int limit);

  /// The index of `entry`, which is added at the end when it is new; -1 when
  /// it is new and the palette is full. Constant time: every pixel calls it.
  /// On an empty builder: 0x1234 -> 0, 0x5678 -> 1, 0x1234 -> 0.
  int IndexOf(uint16_t entry);

  /// Adds `entry` at the end even when an equal one is there already (an
  /// imposed palette may repeat a colour; lookups keep finding the first).
  /// False when full.
  bool Append(uint16_t entry);

  /// Appends every entry of an imposed palette of `type` in order, and
  /// makes kHiddenEntry, which every pixel nobody can see takes, find the
  /// palette's first entry that shows nothing, whatever colour it holds
  /// ({0xF801, 0x07C0, 0x0000} in RGBA 5551: kHiddenEntry -> 1). False, when
  /// more entries are given than the limit, after taking as many as fit.
  bool AppendImposed(std::span<const uint16_t> entries, PaletteType type);

  /// Moves kHiddenEntry, when the pixels showed it, to index 0, where every
  /// palette the kit builds keeps it; the entries before it move up by one.
  /// Returns each old index's new one, empty when nothing moved:
  /// {7, 9, 0, 2} -> {0, 7, 9, 2}, returning {1, 2, 0, 3}.
  std::vector<int> PutHiddenFirst();

  /// The index of the first entry equal to `entry`, or -1; never adds.
  int FindFirst(uint16_t entry) const;

  const std::vector<uint16_t>& GetEntries() const { return m_entries; }
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  bool IsFull() const { return GetCount() >= m_limit; }

 private:
  static constexpr int32_t kAbsent = -1;

  int m_limit;
  std::vector<uint16_t> m_entries;
  // The first index of each of the 65536 entry values, kAbsent when unused:
  // a table, not a map, so a 16-megapixel picture costs one load a pixel.
  std::vector<int32_t> m_firstIndex;
};
