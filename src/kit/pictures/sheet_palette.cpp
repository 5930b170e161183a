#include "kit/pictures/sheet_palette.h"

#include "kit/pictures/frame_view.h"
#include "texture/texture_format.h"

namespace {

// The palette's entries never number more than 65536.
constexpr int kCountAll = 65536;

}  // namespace

CPaletteBuilder BuildSheetPalette(const CSheetImage& image, const CSheetDescription& sheet,
                                  const CSheetPictures& pictures, PaletteType type) {
  // A picture shown again adds no colour: its first frame is enough.
  CPaletteBuilder palette(kCountAll);
  for (const uint32_t first : pictures.firstFrames) {
    const CFrameView view(image, sheet.frames[first]);
    for (uint32_t y = 0; y < view.GetHeight(); ++y) {
      for (uint32_t x = 0; x < view.GetWidth(); ++x) {
        uint16_t entry = 0;
        ToPixelEntry(view.At(x, y), type, entry);
        palette.IndexOf(entry);
      }
    }
  }
  palette.PutHiddenFirst();
  return palette;
}

std::string EncodeSheetPicture(const CSheetImage& image, const CSheetFrame& frame,
                               const CPaletteBuilder& palette, PaletteType type, int32_t bits) {
  const CFrameView view(image, frame);
  return EncodeTmf(static_cast<int32_t>(view.GetWidth()), static_cast<int32_t>(view.GetHeight()),
                   bits, [&](int32_t y, std::span<uint8_t> row) {
                     for (uint32_t x = 0; x < row.size(); ++x) {
                       uint16_t entry = 0;
                       ToPixelEntry(view.At(x, static_cast<uint32_t>(y)), type, entry);
                       row[x] = static_cast<uint8_t>(palette.FindFirst(entry));
                     }
                   });
}
