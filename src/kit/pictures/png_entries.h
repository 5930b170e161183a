// A PNG picture as the palette entries of its pixels: what sync and import
// look up in a project's palette, one row at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "image/colour.h"
#include "kit/common/diagnostics.h"

/// Hands `row` each row of the picture, top first: its number, each pixel's
/// entry in a palette of `type` (ToPixelEntry: whatever nobody can see is
/// kHiddenEntry) and each pixel's colour. `width` and `height` are set
/// before the first row. False after the message naming `name`: no PNG, one
/// too large for a TMF image (kMaxImportPixels), damaged, or a colour that
/// `type` cannot hold. Messages go to `reporter`.
using EntryRow = std::function<void(uint32_t y, std::span<const uint16_t> entries,
                                    std::span<const Rgba8> colours)>;
bool ReadPngEntries(const std::string& name, std::string_view png, PaletteType type,
                    uint32_t& width, uint32_t& height, const EntryRow& row,
                    const CKitReporter& reporter = CKitReporter());
