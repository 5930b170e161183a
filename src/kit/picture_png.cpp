#include "kit/picture_png.h"

#include "image/colour.h"
#include "image/png_writer.h"
#include "kit/diagnostics.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

bool EncodePicturePng(const std::string& tmfPath, const std::string& tlfPath,
                      std::vector<uint8_t>& png) {
  CTmfImage image;
  CTlfPalette palette;
  if (!image.LoadWhole(tmfPath) || !palette.Load(tlfPath)) return false;
  if (image.GetWidth() == 0 || image.GetHeight() == 0)
    return ReportKitError(tmfPath, "holds no pixels: a PNG needs at least one");

  std::vector<Rgba8> colours;
  for (uint16_t entry : palette.GetEntries())
    colours.push_back(FromPaletteEntry(entry, static_cast<PaletteType>(palette.GetType())));
  const auto width = static_cast<uint32_t>(image.GetWidth());
  const auto height = static_cast<uint32_t>(image.GetHeight());
  std::vector<uint8_t> indices(size_t{width} * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t index = image.GetIndex(static_cast<int32_t>(x), static_cast<int32_t>(y));
      if (index >= colours.size())
        return ReportKitError(tmfPath, PixelName(x, y) + " has index " + std::to_string(index) +
                                           " beyond the " + std::to_string(colours.size()) +
                                           " entries of " + tlfPath);
      indices[size_t{y} * width + x] = index;
    }
  }
  const int bits = image.GetBitsPerPixel() == 4 && colours.size() <= 16 ? 4 : 8;
  std::string message;
  if (!WriteIndexedPng({width, height, indices, colours}, bits, png, message))
    return ReportKitError(tmfPath, message);
  return true;
}
