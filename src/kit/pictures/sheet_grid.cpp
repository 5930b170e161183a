#include "kit/pictures/sheet_grid.h"

#include <filesystem>

#include "path/file_system.h"

namespace {

bool IsTransparent(const CSheetImage& image, uint32_t left, uint32_t top, uint32_t w, uint32_t h) {
  for (uint32_t y = top; y < top + h; ++y)
    for (uint32_t x = left; x < left + w; ++x)
      if (image.At(x, y).a >= kOpaqueThreshold) return false;
  return true;
}

bool CheckCell(const CSheetImage& image, uint32_t cellWidth, uint32_t cellHeight, uint32_t duration,
               std::string& what) {
  const std::string cell = "the " + SizeText(cellWidth, cellHeight) + " cell";
  if (cellWidth == 0 || cellHeight == 0 || cellWidth > kMaxFrameSide ||
      cellHeight > kMaxFrameSide || uint64_t{cellWidth} * cellHeight > kMaxFramePixels)
    what = cell + " is outside 1 x 1 to " + std::to_string(kMaxFrameSide) + " a side and " +
           std::to_string(kMaxFramePixels) + " pixels";
  else if (duration == 0 || duration > kMaxFrameDuration)
    what = "a duration of " + std::to_string(duration) + " ms is outside 1 to " +
           std::to_string(kMaxFrameDuration);
  else if (image.GetWidth() % cellWidth != 0 || image.GetHeight() % cellHeight != 0)
    what = "is " + SizeText(image.GetWidth(), image.GetHeight()) + " pixels, not a multiple of " +
           cell;
  return what.empty();
}

}  // namespace

bool SliceSheetGrid(const CSheetImage& image, const std::string& path, uint32_t cellWidth,
                    uint32_t cellHeight, uint32_t duration, CSheetDescription& sheet,
                    uint32_t& leftOut, CSheetFailure& failure) {
  sheet = CSheetDescription();
  leftOut = 0;
  failure = {path, ""};
  if (!CheckCell(image, cellWidth, cellHeight, duration, failure.what)) return false;
  const uint32_t columns = image.GetWidth() / cellWidth;
  const uint64_t cells = uint64_t{columns} * (image.GetHeight() / cellHeight);
  uint64_t kept = cells;
  while (kept > 0 && IsTransparent(image, static_cast<uint32_t>((kept - 1) % columns) * cellWidth,
                                   static_cast<uint32_t>((kept - 1) / columns) * cellHeight,
                                   cellWidth, cellHeight))
    --kept;
  if (kept == 0) {
    failure.what = "every " + SizeText(cellWidth, cellHeight) + " cell is transparent";
    return false;
  }
  sheet.source = path;
  // SheetImagePath finds the PNG beside its own name.
  sheet.image = std::filesystem::path(ToNativePath(path)).filename().string();
  sheet.width = image.GetWidth();
  sheet.height = image.GetHeight();
  for (uint64_t cell = 0; cell < kept; ++cell) {
    CSheetFrame frame;
    frame.name = "cell " + std::to_string(cell);
    frame.label = frame.name;
    frame.frame = {static_cast<uint32_t>(cell % columns) * cellWidth,
                   static_cast<uint32_t>(cell / columns) * cellHeight, cellWidth, cellHeight};
    frame.placed = {0, 0, cellWidth, cellHeight};
    frame.canvasWidth = cellWidth;
    frame.canvasHeight = cellHeight;
    frame.duration = duration;
    sheet.frames.push_back(std::move(frame));
  }
  leftOut = static_cast<uint32_t>(cells - kept);
  return true;
}
