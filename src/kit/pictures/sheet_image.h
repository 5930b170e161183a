// The sheet PNG's pixels, decoded once and held as 8-bit RGBA. Every frame
// is read from them in place (frame_view.h): a sheet of a thousand frames
// is never copied into a thousand pictures to find which are alike.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/colour.h"
#include "kit/pictures/sheet_description.h"

/// The largest sheet read: 2^24 pixels (64 MiB as RGBA), a sheet of 4096 x
/// 4096, refused at its header before any pixel memory is taken.
inline constexpr uint64_t kMaxSheetPixels = uint64_t{1} << 24;

class CSheetImage {
 public:
  CSheetImage() = default;
  /// `pixels`: `width` x `height` colours, rows top to bottom; a vector of
  /// another size makes an empty sheet.
  CSheetImage(uint32_t width, uint32_t height, std::vector<Rgba8> pixels);

  /// Reads the PNG at `path`; a palette picture becomes the colours of its
  /// indices. False with libpng's or the reader's reason (also for a sheet
  /// of more than kMaxSheetPixels pixels), or the first pixel
  /// whose index lies past the palette, in `message`; the sheet is empty.
  bool Load(const std::string& path, std::string& message);

  uint32_t GetWidth() const { return m_width; }
  uint32_t GetHeight() const { return m_height; }
  /// The colour at (x, y); both must lie on the sheet.
  Rgba8 At(uint32_t x, uint32_t y) const { return m_pixels[size_t{y} * m_width + x]; }

 private:
  uint32_t m_width = 0;
  uint32_t m_height = 0;
  std::vector<Rgba8> m_pixels;
};

/// The sheet PNG's path: `meta.image` relative to the JSON's directory.
/// ("art/walk.json", "walk.png") -> "art/walk.png"; an absolute image path
/// stays as it is.
std::string SheetImagePath(const CSheetDescription& sheet);

/// Loads the PNG `sheet` names into `image` and checks that it is the
/// sheet the JSON describes. False, `image` empty, when the PNG is missing
/// (the failure names the JSON and the image's path), cannot be read (it
/// names the PNG), is not the size `meta.size` says, or a frame reaches
/// past it.
bool LoadSheetImage(const CSheetDescription& sheet, CSheetImage& image, CSheetFailure& failure);
