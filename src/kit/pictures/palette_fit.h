// CPaletteFit: pictures made again through the palette they already have.
// A colour the palette holds keeps its index, so every picture that is not
// made again still shows what it showed; a colour it lacks takes an entry
// that no picture uses (any more), the lowest first. When none is left the
// palette is full, and the colour that found no place is told with the
// picture and pixel where it first appears.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/colour.h"
#include "image/palette_builder.h"
#include "kit/common/diagnostics.h"

/// Where a colour the palette lacks first appears.
struct CNewColour {
  std::string file;  // the art, as messages name it
  std::string part;  // the frame of a sheet ("frames[3]"); "" for a whole PNG
  uint32_t x = 0;
  uint32_t y = 0;
  Rgba8 colour;
};

class CPaletteFit {
 public:
  /// The palette of `type` as its TLF holds it, all 16 or 256 entries.
  CPaletteFit(std::span<const uint16_t> entries, PaletteType type);

  /// The index a pixel of entry `entry` (as ToPixelEntry gives it) takes,
  /// marking it used; -1 while the palette lacks the colour: Ask then.
  int Take(uint16_t entry) {
    const int index = m_lookup.FindFirst(entry);
    if (index >= 0) m_used[static_cast<size_t>(index)] = 1;
    return index;
  }
  /// Notes that a pixel `where` shows `entry`, which the palette lacks, for
  /// Place; only the first pixel of each such colour is kept.
  void Ask(uint16_t entry, const CNewColour& where);
  /// Marks the entries the pixels of a picture that is not made again use.
  void Use(int index);
  /// Whether a colour was found that the palette lacks.
  bool HasNewColours() const { return !m_asked.empty(); }

  /// Gives each colour noted by Take, in the order first seen, the lowest
  /// entry no pixel uses. False when one finds none, `full` then saying
  /// which; the palette is left as it was.
  bool Place(CNewColour& full);

  /// The palette's entries, and the lookup of pixel entries in them.
  const std::vector<uint16_t>& GetEntries() const { return m_lookup.GetEntries(); }
  const CPaletteBuilder& GetLookup() const { return m_lookup; }

 private:
  struct CAsked {
    uint16_t entry;
    CNewColour where;
  };

  PaletteType m_type;
  CPaletteBuilder m_lookup;
  std::vector<uint8_t> m_used;  // a byte an entry: every pixel marks one
  std::vector<CAsked> m_asked;
  std::vector<bool> m_isAsked;  // by entry value
};

/// Says that the colour `full` has no place in `palette` (as messages name
/// it), a palette of `entries` entries all in use, to `reporter`. Returns
/// false.
bool ReportNoPlace(const CNewColour& full, const std::string& palette, size_t entries,
                   const CKitReporter& reporter = CKitReporter());
