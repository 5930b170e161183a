#include "kit/pictures/sheet_pictures.h"

#include <string>
#include <unordered_map>

#include "kit/common/art_record.h"
#include "kit/common/diagnostics.h"
#include "kit/pictures/frame_view.h"

namespace {

// The little-endian bytes of `value`, added to `bytes`.
void AppendBytes(std::string& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

// A hash of the picture's size and entries, row by row: cheap, and spreads
// pictures that differ in one pixel; pictures whose hashes meet are compared
// in full.
bool HashFrame(const CFrameView& view, const CSheetFrame& frame, PaletteType type, uint64_t& hash,
               CSheetFailure& failure) {
  std::string bytes;
  AppendBytes(bytes, view.GetWidth(), 4);
  AppendBytes(bytes, view.GetHeight(), 4);
  hash = HashBytes(bytes);
  for (uint32_t y = 0; y < view.GetHeight(); ++y) {
    bytes.clear();
    for (uint32_t x = 0; x < view.GetWidth(); ++x) {
      uint16_t entry = 0;
      const Rgba8 colour = view.At(x, y);
      if (!ToPixelEntry(colour, type, entry)) {
        failure.what = frame.label + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                       ") is " + ColourName(colour) +
                       ", not grey: an intensity/alpha palette holds greys only";
        return false;
      }
      AppendBytes(bytes, entry, 2);
    }
    hash = HashBytes(bytes, hash);
  }
  return true;
}

// Whether two frames show the same entries; both hashed, so every colour converts.
bool SamePicture(const CFrameView& a, const CFrameView& b, PaletteType type) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
  for (uint32_t y = 0; y < a.GetHeight(); ++y) {
    for (uint32_t x = 0; x < a.GetWidth(); ++x) {
      uint16_t first = 0;
      uint16_t second = 0;
      ToPixelEntry(a.At(x, y), type, first);
      ToPixelEntry(b.At(x, y), type, second);
      if (first != second) return false;
    }
  }
  return true;
}

}  // namespace

bool FindSheetPictures(const CSheetImage& image, const CSheetDescription& sheet, PaletteType type,
                       CSheetPictures& pictures, CSheetFailure& failure) {
  pictures = CSheetPictures();
  failure.file = sheet.source;
  std::unordered_map<uint64_t, std::vector<uint32_t>> byHash;  // hash -> pictures
  for (uint32_t at = 0; at < sheet.frames.size(); ++at) {
    const CFrameView view(image, sheet.frames[at]);
    uint64_t hash = 0;
    if (!HashFrame(view, sheet.frames[at], type, hash, failure)) {
      pictures = CSheetPictures();
      return false;
    }
    std::vector<uint32_t>& alike = byHash[hash];
    uint32_t picture = static_cast<uint32_t>(pictures.firstFrames.size());
    for (const uint32_t candidate : alike) {
      const uint32_t first = pictures.firstFrames[candidate];
      if (SamePicture(view, CFrameView(image, sheet.frames[first]), type)) {
        picture = candidate;
        break;
      }
    }
    if (picture == pictures.firstFrames.size()) {
      pictures.firstFrames.push_back(at);
      alike.push_back(picture);
    }
    pictures.pictureOfFrame.push_back(picture);
  }
  return true;
}
