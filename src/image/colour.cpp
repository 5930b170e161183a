#include "image/colour.h"

uint16_t ToRgba5551(Rgba8 colour) {
  const unsigned alpha = colour.a >= kOpaqueThreshold ? 1 : 0;
  return static_cast<uint16_t>((Reduce8To5(colour.r) << 11) | (Reduce8To5(colour.g) << 6) |
                               (Reduce8To5(colour.b) << 1) | alpha);
}

Rgba8 FromRgba5551(uint16_t entry) {
  Rgba8 colour;
  colour.r = Widen5To8(static_cast<uint8_t>((entry >> 11) & 31));
  colour.g = Widen5To8(static_cast<uint8_t>((entry >> 6) & 31));
  colour.b = Widen5To8(static_cast<uint8_t>((entry >> 1) & 31));
  colour.a = (entry & 1) ? 255 : 0;
  return colour;
}

bool ToIa16(Rgba8 colour, uint16_t& entry) {
  if (colour.r != colour.g || colour.g != colour.b) return false;
  entry = static_cast<uint16_t>((colour.r << 8) | colour.a);
  return true;
}

Rgba8 FromIa16(uint16_t entry) {
  const auto intensity = static_cast<uint8_t>(entry >> 8);
  return {intensity, intensity, intensity, static_cast<uint8_t>(entry & 0xFF)};
}

bool ToPaletteEntry(Rgba8 colour, PaletteType type, uint16_t& entry) {
  if (type == PaletteType::kIa16) return ToIa16(colour, entry);
  entry = ToRgba5551(colour);
  return true;
}

Rgba8 FromPaletteEntry(uint16_t entry, PaletteType type) {
  if (type == PaletteType::kIa16) return FromIa16(entry);
  return FromRgba5551(entry);
}

bool IsHiddenColour(Rgba8 colour, PaletteType type) {
  return type == PaletteType::kIa16 ? colour.a == 0 : colour.a < kOpaqueThreshold;
}

bool IsHiddenEntry(uint16_t entry, PaletteType type) {
  return type == PaletteType::kIa16 ? (entry & 0xFF) == 0 : (entry & 1) == 0;
}

bool ToPixelEntry(Rgba8 colour, PaletteType type, uint16_t& entry) {
  if (!IsHiddenColour(colour, type)) return ToPaletteEntry(colour, type, entry);
  entry = kHiddenEntry;
  return true;
}
