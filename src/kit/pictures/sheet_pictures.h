// The pictures a sheet's frames need: frames that are the same after
// reduction to the palette's entries (same size, same entry at every pixel
// by ToPixelEntry, which makes every pixel nobody can see one entry) share
// one picture, shown wherever any of them appears. Frames are hashed where
// they lie on the sheet, and only frames of equal hashes compared.
#pragma once

#include <cstdint>
#include <vector>

#include "image/colour.h"
#include "kit/pictures/sheet_description.h"
#include "kit/pictures/sheet_image.h"

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
