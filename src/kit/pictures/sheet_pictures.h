// The pictures a sheet's frames need: frames that are the same after
// reduction to the palette's entries (same size, same entry at every pixel)
// share one picture, shown wherever any of them appears. Frames are hashed
// where they lie on the sheet, and only frames of equal hashes compared.
#pragma once

#include <cstdint>
#include <vector>

#include "image/colour.h"
#include "kit/pictures/sheet_description.h"
#include "kit/pictures/sheet_image.h"

/// The entry of a sheet pixel in a palette of `type`: ToPaletteEntry's,
/// except that every pixel the palette shows fully transparent is one
/// entry, 0, whatever colour it hides: in RGBA 5551 every alpha below 128,
/// in intensity/alpha alpha 0 (there 1 to 127 show, and stay as they are).
/// {9, 9, 9, 100} -> 0 in RGBA 5551, 0x0964 in IA16. False for a colour
/// an IA16 palette shows that is not grey.
bool ToSheetEntry(Rgba8 colour, PaletteType type, uint16_t& entry);

struct CSheetPictures {
  /// For each frame, the picture it shows.
  std::vector<uint32_t> pictureOfFrame;
  /// For each picture, the first frame that shows it; pictures in the order
  /// frames first show them.
  std::vector<uint32_t> firstFrames;
};

/// Finds the distinct pictures of `sheet`'s frames on `image` (every frame
/// on it) for a palette of `type`. False when a frame shows a colour that
/// `type` cannot hold, the failure naming the frame, the pixel and the colour.
bool FindSheetPictures(const CSheetImage& image, const CSheetDescription& sheet, PaletteType type,
                       CSheetPictures& pictures, CSheetFailure& failure);
