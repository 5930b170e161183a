// A plain sheet PNG, with no JSON beside it, cut into equal cells left to
// right, top to bottom: one frame a cell, each shown for the same time.
#pragma once

#include <cstdint>
#include <string>

#include "kit/pictures/sheet_description.h"
#include "kit/pictures/sheet_image.h"

/// The frames shown when no duration is given, in milliseconds.
inline constexpr uint32_t kDefaultCellDuration = 100;

/// Describes `image`, read from `path`, as cells of `cellWidth` x
/// `cellHeight` pixels, each a frame named "cell N" shown for `duration`
/// milliseconds, without tags. Trailing cells whose every pixel is
/// transparent (alpha below 128) are left out; `leftOut` counts them.
/// False, the failure naming `path`, when the sheet's size is not a
/// multiple of the cell's, the cell or the duration is out of range, or
/// every cell is transparent.
bool SliceSheetGrid(const CSheetImage& image, const std::string& path, uint32_t cellWidth,
                    uint32_t cellHeight, uint32_t duration, CSheetDescription& sheet,
                    uint32_t& leftOut, CSheetFailure& failure);
