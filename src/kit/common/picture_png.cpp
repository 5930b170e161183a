#include "kit/common/picture_png.h"

#include "image/png_writer.h"
#include "kit/common/diagnostics.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

bool MakePicturePixels(const CTmfImage& image, const CTlfPalette& palette,
                       const std::string& tmfPath, const std::string& tlfPath,
                       PaletteOverrun overrun, CPicturePixels& pixels) {
  if (image.GetWidth() == 0 || image.GetKeptRows() == 0)
    return ReportKitError(tmfPath, "holds no pixels: a PNG needs at least one");

  pixels.palette.clear();
  for (uint16_t entry : palette.GetEntries())
    pixels.palette.push_back(FromPaletteEntry(entry, static_cast<PaletteType>(palette.GetType())));
  const size_t entries = pixels.palette.size();
  pixels.width = static_cast<uint32_t>(image.GetWidth());
  pixels.height = static_cast<uint32_t>(image.GetKeptRows());
  const int32_t top = image.GetHeight() - image.GetKeptRows();
  pixels.bits = image.GetBitsPerPixel();
  pixels.indices.assign(size_t{pixels.width} * pixels.height, 0);
  for (uint32_t y = 0; y < pixels.height; ++y) {
    for (uint32_t x = 0; x < pixels.width; ++x) {
      const uint8_t index = image.GetIndex(static_cast<int32_t>(x), top + static_cast<int32_t>(y));
      pixels.indices[size_t{y} * pixels.width + x] = index;
      if (index < pixels.palette.size()) continue;
      const std::string what = PixelName(x, y) + " has index " + std::to_string(index) +
                               " beyond the " + std::to_string(entries) + " entries of " + tlfPath;
      if (overrun == PaletteOverrun::kRefuse) return ReportKitError(tmfPath, what);
      if (pixels.palette.size() == entries)
        ReportKitWarning(tmfPath, what +
                                      ": such pixels show in magenta here, and on the target "
                                      "whatever follows the palette");
      pixels.palette.resize(size_t{index} + 1, kOverrunColour);
    }
  }
  return true;
}

bool EncodePicturePng(const CPicturePixels& pixels, const std::string& tmfPath,
                      std::vector<uint8_t>& png) {
  const int bits = pixels.bits == 4 && pixels.palette.size() <= 16 ? 4 : 8;
  std::string message;
  if (!WriteIndexedPng(pixels.View(), bits, png, message)) return ReportKitError(tmfPath, message);
  return true;
}

bool EncodePicturePng(const std::string& tmfPath, const std::string& tlfPath,
                      std::vector<uint8_t>& png) {
  CTmfImage image;
  CTlfPalette palette;
  if (!image.LoadWhole(tmfPath, ReportLoaderError) || !palette.Load(tlfPath, ReportLoaderError))
    return false;
  CPicturePixels pixels;
  return MakePicturePixels(image, palette, tmfPath, tlfPath, PaletteOverrun::kRefuse, pixels) &&
         EncodePicturePng(pixels, tmfPath, png);
}

std::string MakePngDataUri(const std::vector<uint8_t>& png) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string uri = "data:image/png;base64,";
  uri.reserve(uri.size() + (png.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= png.size(); i += 3) {
    const uint32_t group = uint32_t{png[i]} << 16 | uint32_t{png[i + 1]} << 8 | png[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) uri += kDigits[(group >> shift) & 63];
  }
  // The last one or two bytes make two or three digits, padded with '='.
  const size_t rest = png.size() - i;
  if (rest == 0) return uri;
  const uint32_t group = uint32_t{png[i]} << 16 | (rest == 2 ? uint32_t{png[i + 1]} << 8 : 0);
  uri += kDigits[group >> 18];
  uri += kDigits[(group >> 12) & 63];
  uri += rest == 2 ? kDigits[(group >> 6) & 63] : '=';
  uri += '=';
  return uri;
}
