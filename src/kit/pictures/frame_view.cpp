#include "kit/pictures/frame_view.h"

std::vector<Rgba8> RenderFrame(const CFrameView& view) {
  std::vector<Rgba8> pixels;
  pixels.reserve(size_t{view.GetWidth()} * view.GetHeight());
  for (uint32_t y = 0; y < view.GetHeight(); ++y)
    for (uint32_t x = 0; x < view.GetWidth(); ++x) pixels.push_back(view.At(x, y));
  return pixels;
}
