// A TMF image shown through a TLF palette, as an indexed PNG: what export
// writes and what the preview embeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/colour.h"
#include "image/indexed_image.h"

class CTmfImage;
class CTlfPalette;

/// A TMF image shown through its TLF palette: one index a pixel, top row
/// first, and every palette entry as 8-bit RGBA (IA16 as grey with alpha).
/// What the PNG and GIF writers take.
struct CPicturePixels {
  uint32_t width = 0;
  uint32_t height = 0;
  int32_t bits = 0;  // the image's bits per pixel, 4 or 8
  std::vector<uint8_t> indices;
  std::vector<Rgba8> palette;

  CIndexedImageView View() const { return {width, height, indices, palette}; }
};

/// What MakePicturePixels does with a pixel whose index lies past the palette.
enum class PaletteOverrun {
  kRefuse,  // fail: an exported picture must mean what it says
  kMark,    // warn, and show such pixels in kOverrunColour
};

/// The colour of pixels whose index lies past their palette, when they are
/// marked: an opaque magenta no artist picks by chance. The target reads
/// whatever memory follows its palette there.
inline constexpr Rgba8 kOverrunColour = {255, 0, 255, 255};

/// The pixels of the loaded `image` through the loaded `palette`: the rows
/// the image holds (all of them after CTmfImage::LoadWhole; after Load the
/// bottom rows that the C array holds, which the target shows at its top).
/// False after the message (naming `tmfPath`) for an image without pixels,
/// which no PNG can hold, or, with kRefuse, for the first pixel whose index
/// lies past the palette (`tlfPath`). With kMark the palette is filled up with
/// kOverrunColour to the highest index used, after a warning naming the
/// first such pixel.
bool MakePicturePixels(const CTmfImage& image, const CTlfPalette& palette,
                       const std::string& tmfPath, const std::string& tlfPath,
                       PaletteOverrun overrun, CPicturePixels& pixels);

/// Encodes `pixels` as an indexed PNG: 4 bits when the image has 4 and the
/// palette at most 16 entries, else 8; every palette entry in the PLTE, its
/// alpha in tRNS. False after the message naming `tmfPath`.
bool EncodePicturePng(const CPicturePixels& pixels, const std::string& tmfPath,
                      std::vector<uint8_t>& png);

/// Loads `tmfPath` whole and `tlfPath` through flipdeck's loaders (whose
/// errors they show themselves) and encodes the picture as above. False
/// after the message.
bool EncodePicturePng(const std::string& tmfPath, const std::string& tlfPath,
                      std::vector<uint8_t>& png);

/// `png` as a data URI that a page can embed without reaching any file or
/// network: {0x89, 'P', 'N', 'G'} -> "data:image/png;base64,iVBORw==".
std::string MakePngDataUri(const std::vector<uint8_t>& png);
