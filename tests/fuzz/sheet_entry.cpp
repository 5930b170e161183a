// Sprite-sheet JSON from arbitrary bytes: a read either fails naming where
// and why, or gives a sheet whose frames and tags hold. Such a sheet
// is then laid over pixels made from the same bytes; the frames that share
// a picture must show the same entries, every animation's key frames must
// rise from 0 to below FRAME_LENGTH, and the sheet's palette must hold
// every entry its pictures show, what nobody sees first, and give images
// of the size their pictures take.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "kit/pictures/frame_view.h"
#include "kit/pictures/sheet_animations.h"
#include "kit/pictures/sheet_json.h"
#include "kit/pictures/sheet_palette.h"
#include "kit/pictures/sheet_pictures.h"
#include "kit/pictures/sheet_timing.h"
#include "texture/texture_format.h"

namespace {

using fuzz_support::Require;

// Sheets, pictures and loops past these are passed over: what they cost is
// their size, not a question of robustness.
constexpr uint64_t kMaxFuzzSheetPixels = 1 << 16;
constexpr uint64_t kMaxFuzzPicturePixels = 1 << 18;
constexpr uint64_t kMaxFuzzPlays = 1 << 16;

// The frames and tags a read gives lie inside what they describe; the caps
// on their numbers are the reader's unit tests' to check.
uint64_t CheckFrames(const CSheetDescription& sheet) {
  Require(!sheet.frames.empty() && !sheet.image.empty(), "a sheet read has frames and an image");
  uint64_t picturePixels = 0;
  for (const CSheetFrame& frame : sheet.frames) {
    Require(frame.placed.w == frame.frame.w && frame.placed.h == frame.frame.h,
            "the placed picture is the trimmed one");
    Require(uint64_t{frame.placed.x} + frame.placed.w <= frame.canvasWidth &&
                uint64_t{frame.placed.y} + frame.placed.h <= frame.canvasHeight,
            "the trimmed picture lies inside the whole one");
    picturePixels += uint64_t{frame.canvasWidth} * frame.canvasHeight;
  }
  for (const CSheetTag& tag : sheet.tags)
    Require(tag.from <= tag.to && tag.to < sheet.frames.size(), "a tag plays frames of the sheet");
  return picturePixels;
}

void CheckTiming(const CSheetDescription& sheet, const std::vector<uint32_t>& plays) {
  for (const int32_t fps : {kMinSheetFps, 60, kMaxSheetFps}) {
    CSheetTiming timing;
    std::string message;
    if (!TimeSheetAnimation(sheet, plays, fps, timing, message)) {
      Require(!message.empty() && timing.keys.empty(), "a loop that cannot be timed says why");
      continue;
    }
    Require(!timing.keys.empty() && timing.keys.front().start == 0, "the first key at frame 0");
    for (size_t at = 1; at < timing.keys.size(); ++at)
      Require(timing.keys[at - 1].start < timing.keys[at].start, "key frames rise");
    Require(timing.keys.back().start < timing.frameLength, "key frames below FRAME_LENGTH");
    Require(timing.keys.size() + timing.skipped.size() == plays.size(),
            "every play is shown or skipped");
  }
}

void CheckAnimations(const CSheetDescription& sheet) {
  std::vector<std::string> names;
  CSheetFailure failure;
  if (TagFileNames(sheet, "fuzz", names, failure))
    Require(names.size() == sheet.tags.size(), "a file name a tag");
  else
    Require(!failure.what.empty(), "tags that cannot be written say why");
  if (sheet.frames.size() <= kMaxFuzzPlays) {
    std::vector<uint32_t> all(sheet.frames.size());
    for (uint32_t at = 0; at < all.size(); ++at) all[at] = at;
    CheckTiming(sheet, all);
  }
  for (const CSheetTag& tag : sheet.tags)
    if (TagPlayCount(tag) <= kMaxFuzzPlays) CheckTiming(sheet, TagPlays(tag));
}

std::vector<uint16_t> Entries(const CFrameView& view, PaletteType type) {
  std::vector<uint16_t> entries;
  for (const Rgba8 colour : RenderFrame(view)) {
    uint16_t entry = 0;
    Require(ToPixelEntry(colour, type, entry), "a frame's pictures convert once found");
    entries.push_back(entry);
  }
  return entries;
}

void CheckPalette(const CSheetImage& image, const CSheetDescription& sheet,
                  const CSheetPictures& pictures, PaletteType type) {
  const CPaletteBuilder palette = BuildSheetPalette(image, sheet, pictures, type);
  bool hidden = false;
  for (const uint32_t first : pictures.firstFrames) {
    for (const uint16_t entry : Entries(CFrameView(image, sheet.frames[first]), type)) {
      Require(palette.FindFirst(entry) >= 0, "the palette holds every entry shown");
      hidden = hidden || entry == kHiddenEntry;
    }
  }
  Require(!hidden || palette.GetEntries().front() == kHiddenEntry, "what nobody sees first");
  if (palette.GetCount() > 256) return;
  const int32_t bits = palette.GetCount() <= 16 ? 4 : 8;
  const CSheetFrame& frame = sheet.frames[pictures.firstFrames.back()];
  const auto width = static_cast<int32_t>(frame.canvasWidth);
  const uint64_t body = TmfRowBytes(width, bits) * frame.canvasHeight;
  Require(EncodeSheetPicture(image, frame, palette, type, bits).size() ==
              kTextureHeaderSize + (body + 3) / 4 * 4,
          "an image of the picture's size");
}

void CheckPictures(const CSheetImage& image, const CSheetDescription& sheet, PaletteType type) {
  CSheetPictures pictures;
  CSheetFailure failure;
  if (!FindSheetPictures(image, sheet, type, pictures, failure)) {
    Require(type == PaletteType::kIa16 && !failure.what.empty(), "only colours IA16 lacks fail");
    return;
  }
  CheckPalette(image, sheet, pictures, type);
  Require(pictures.pictureOfFrame.size() == sheet.frames.size(), "a picture a frame");
  for (uint32_t frame = 0; frame < sheet.frames.size(); ++frame) {
    const uint32_t picture = pictures.pictureOfFrame[frame];
    Require(picture < pictures.firstFrames.size(), "pictures exist");
    const uint32_t first = pictures.firstFrames[picture];
    Require(first <= frame && pictures.pictureOfFrame[first] == picture, "first showing first");
    const CFrameView view(image, sheet.frames[frame]);
    const CFrameView shown(image, sheet.frames[first]);
    Require(view.GetWidth() == shown.GetWidth() && view.GetHeight() == shown.GetHeight() &&
                Entries(view, type) == Entries(shown, type),
            "frames sharing a picture show the same entries");
  }
  // And pictures apart differ; a few are enough to see it.
  const size_t compared = std::min<size_t>(pictures.firstFrames.size(), 16);
  std::vector<std::vector<uint16_t>> shown;
  for (size_t at = 0; at < compared; ++at) {
    const CFrameView view(image, sheet.frames[pictures.firstFrames[at]]);
    shown.push_back(Entries(view, type));
    for (size_t before = 0; before < at; ++before)
      Require(shown[before] != shown[at] ||
                  sheet.frames[pictures.firstFrames[before]].canvasWidth != view.GetWidth(),
              "pictures apart differ");
  }
}

// The sheet's size: meta.size, or the least that holds every frame.
void SheetSize(const CSheetDescription& sheet, uint64_t& width, uint64_t& height) {
  width = sheet.width;
  height = sheet.height;
  if (width != 0) return;
  for (const CSheetFrame& frame : sheet.frames) {
    width = std::max<uint64_t>(width, uint64_t{frame.frame.x} + frame.SheetWidth());
    height = std::max<uint64_t>(height, uint64_t{frame.frame.y} + frame.SheetHeight());
  }
}

}  // namespace

int FuzzSheet(const uint8_t* data, size_t size) {
  CSheetDescription sheet;
  CSheetFailure failure;
  if (!ReadSheetJson(fuzz_support::AsText(data, size), "fuzz.json", sheet, failure)) {
    Require(failure.file.starts_with("fuzz.json") && !failure.what.empty(),
            "a failed read names the file and says why");
    return 0;
  }
  const uint64_t picturePixels = CheckFrames(sheet);
  CheckAnimations(sheet);
  uint64_t width = 0;
  uint64_t height = 0;
  SheetSize(sheet, width, height);
  if (width * height > kMaxFuzzSheetPixels || picturePixels > kMaxFuzzPicturePixels) return 0;
  // Pixels of four colours, one clear and one hiding a colour, so that
  // frames come out alike often enough to be grouped.
  const Rgba8 colours[] = {{}, {90, 90, 90, 255}, {200, 40, 10, 255}, {7, 7, 7, 60}};
  std::vector<Rgba8> pixels;
  for (uint64_t at = 0; at < width * height; ++at)
    pixels.push_back(size == 0 ? Rgba8{} : colours[data[at % size] & 3]);
  const CSheetImage image(static_cast<uint32_t>(width), static_cast<uint32_t>(height), pixels);
  Require(CheckFramesOnSheet(sheet, image.GetWidth(), image.GetHeight(), failure),
          "the frames lie on the sheet they were read for");
  CheckPictures(image, sheet, PaletteType::kRgba5551);
  CheckPictures(image, sheet, PaletteType::kIa16);
  return 0;
}
