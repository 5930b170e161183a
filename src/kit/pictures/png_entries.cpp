#include "kit/pictures/png_entries.h"

#include <algorithm>
#include <vector>

#include "image/png_reader.h"
#include "kit/common/diagnostics.h"
#include "kit/pictures/import.h"

bool ReadPngEntries(const std::string& name, std::string_view png, PaletteType type,
                    uint32_t& width, uint32_t& height, const EntryRow& row,
                    const CKitReporter& reporter) {
  CPngReader reader(std::span(reinterpret_cast<const uint8_t*>(png.data()), png.size()));
  if (!ReadImportHeader(name, reader, reporter)) return false;
  const CPngHeader& header = reader.GetHeader();
  std::string message;
  width = header.width;
  height = header.height;
  // A palette picture's entries are worked out once, an index at a time:
  // its pixels only look them up. An index past the palette, or a colour
  // `type` cannot hold, is told at the first pixel that shows it.
  std::vector<uint16_t> paletteEntries(256, 0);
  std::vector<bool> held(256, false);
  for (size_t i = 0; i < header.palette.size(); ++i)
    held[i] = ToPixelEntry(header.palette[i], type, paletteEntries[i]);
  std::vector<uint16_t> entries(width);
  std::vector<Rgba8> colours(width);
  for (uint32_t y = 0; y < height; ++y) {
    if (!reader.ReadRow(message)) return reporter.Error(name, message);
    const std::span<const uint8_t> indices =
        header.indexed ? reader.GetIndices() : std::span<const uint8_t>();
    if (!header.indexed) std::ranges::copy(reader.GetColours(), colours.begin());
    for (uint32_t x = 0; x < width; ++x) {
      if (header.indexed) {
        const uint8_t index = indices[x];
        if (index >= header.palette.size())
          return reporter.Error(
              name, PixelName(x, y) + " has index " + std::to_string(index) + " beyond its palette");
        colours[x] = header.palette[index];
        entries[x] = paletteEntries[index];
        if (held[index]) continue;
      } else if (ToPixelEntry(colours[x], type, entries[x])) {
        continue;
      }
      return reporter.Error(name, PixelName(x, y) + " is " + ColourName(colours[x]) +
                                     ", not grey: an intensity/alpha palette holds greys only");
    }
    row(y, entries, colours);
  }
  if (!reader.ReadEnd(message)) return reporter.Error(name, message);
  return true;
}
