// One frame of a sheet as the artist drew it: upright, its trimmed picture
// put back in place inside its whole, transparent picture. Read from the
// sheet in place, pixel by pixel; nothing is copied until a picture is
// asked for.
#pragma once

#include <cstdint>
#include <vector>

#include "image/colour.h"
#include "kit/pictures/sheet_description.h"
#include "kit/pictures/sheet_image.h"

class CFrameView {
 public:
  /// `frame` must lie on `sheet` (CheckFramesOnSheet); both must outlive
  /// the view.
  CFrameView(const CSheetImage& sheet, const CSheetFrame& frame) : m_sheet(sheet), m_frame(frame) {}

  uint32_t GetWidth() const { return m_frame.canvasWidth; }
  uint32_t GetHeight() const { return m_frame.canvasHeight; }

  /// The colour at (x, y) of the whole picture, both inside it; transparent
  /// black around the trimmed picture. A rotated frame, stored turned 90°
  /// clockwise, is turned back: its upright pixel (x, y) lies at column
  /// h - 1 - y, row x of its area on the sheet.
  Rgba8 At(uint32_t x, uint32_t y) const {
    const CSheetRect& placed = m_frame.placed;
    if (x < placed.x || y < placed.y || x - placed.x >= placed.w || y - placed.y >= placed.h)
      return Rgba8{};
    const uint32_t u = x - placed.x;
    const uint32_t v = y - placed.y;
    const CSheetRect& area = m_frame.frame;
    if (m_frame.rotated) return m_sheet.At(area.x + area.h - 1 - v, area.y + u);
    return m_sheet.At(area.x + u, area.y + v);
  }

 private:
  const CSheetImage& m_sheet;
  const CSheetFrame& m_frame;
};

/// The frame's whole picture, rows top to bottom.
std::vector<Rgba8> RenderFrame(const CFrameView& view);
