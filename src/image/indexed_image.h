// A colour-index picture as the writers take it: borrowed, never copied.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/colour.h"

/// `width` × `height` palette indices, one byte a pixel, rows top to bottom,
/// and the palette they index.
struct CIndexedImageView {
  uint32_t width = 0;
  uint32_t height = 0;
  std::span<const uint8_t> indices;
  std::span<const Rgba8> palette;
};

/// True when the picture is well formed for a writer whose format holds at
/// most `maxSide` pixels a side and `maxColours` palette entries: both sides
/// at least 1, one index per pixel, every index inside the palette. Otherwise
/// false with the reason in `message` ("index 7 beyond a palette of 4 entries").
bool CheckIndexedImage(const CIndexedImageView& image, uint32_t maxSide, size_t maxColours,
                       std::string& message);
