#include "kit/pictures/sheet_description.h"

std::string SizeText(uint64_t width, uint64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

bool CheckFramesOnSheet(const CSheetDescription& sheet, uint32_t width, uint32_t height,
                        CSheetFailure& failure) {
  for (const CSheetFrame& frame : sheet.frames) {
    const uint32_t w = frame.SheetWidth();
    const uint32_t h = frame.SheetHeight();
    if (uint64_t{frame.frame.x} + w <= width && uint64_t{frame.frame.y} + h <= height) continue;
    failure.file = sheet.source;
    failure.what = frame.label + ": " + SizeText(w, h) + " at " + std::to_string(frame.frame.x) +
                   ", " + std::to_string(frame.frame.y) + (frame.rotated ? " (rotated)" : "") +
                   " reaches past the " + SizeText(width, height) + " sheet";
    return false;
  }
  return true;
}
