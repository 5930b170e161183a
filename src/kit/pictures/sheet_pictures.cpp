#include "kit/pictures/sheet_pictures.h"

#include <unordered_map>

#include "kit/common/diagnostics.h"
#include "kit/pictures/frame_view.h"

namespace {

// FNV-1a over the picture's size and entries: cheap, and spreads pictures
// that differ in one pixel.
class CPictureHash {
 public:
  void Add(uint32_t value) {
    m_hash ^= value;
    m_hash *= 0x100000001b3ULL;
  }
  uint64_t Get() const { return m_hash; }

 private:
  uint64_t m_hash = 0xcbf29ce484222325ULL;
};

bool HashFrame(const CFrameView& view, const CSheetFrame& frame, PaletteType type, uint64_t& hash,
               CSheetFailure& failure) {
  CPictureHash picture;
  picture.Add(view.GetWidth());
  picture.Add(view.GetHeight());
  for (uint32_t y = 0; y < view.GetHeight(); ++y) {
    for (uint32_t x = 0; x < view.GetWidth(); ++x) {
      uint16_t entry = 0;
      const Rgba8 colour = view.At(x, y);
      if (!ToPixelEntry(colour, type, entry)) {
        failure.what = frame.label + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                       ") is " + ColourName(colour) +
                       ", not grey: an intensity/alpha palette holds greys only";
        return false;
      }
      picture.Add(entry);
    }
  }
  hash = picture.Get();
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
