// The colours of a sheet's pictures: one palette for the whole sheet, built
// by the rules of import --shared (image/palette_builder.h): the colours in
// the order the sheet first shows them, what nobody can see at index 0. The
// same sheet always gives the same palette, and the same files.
#pragma once

#include <cstdint>
#include <string>

#include "image/colour.h"
#include "image/palette_builder.h"
#include "kit/pictures/sheet_description.h"
#include "kit/pictures/sheet_image.h"
#include "kit/pictures/sheet_pictures.h"

/// The palette of `pictures` of `sheet` on `image` in a palette of `type`,
/// every colour counted, so that a sheet of too many can say how many: the
/// pictures in the order their first frames come, each row by row. Every
/// colour must convert (FindSheetPictures has found the pictures).
CPaletteBuilder BuildSheetPalette(const CSheetImage& image, const CSheetDescription& sheet,
                                  const CSheetPictures& pictures, PaletteType type);

/// The TMF file of the picture `frame` shows on `image`, each pixel the
/// index of its entry in `palette` (built by BuildSheetPalette with the
/// same `type`), at `bits` 4 or 8, made row by row from the sheet.
std::string EncodeSheetPicture(const CSheetImage& image, const CSheetFrame& frame,
                               const CPaletteBuilder& palette, PaletteType type, int32_t bits);
