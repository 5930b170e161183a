// The colours flipdeck-kit moves between pictures and palettes: 8-bit RGBA
// as PNG and GIF hold it, and the two 16-bit palette entry types of a TLF
// palette, RGBA 5551 and intensity/alpha 88.
#pragma once

#include <cstdint>

/// One colour, 8 bits a channel, alpha 255 opaque.
struct Rgba8 {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 0;
  bool operator==(const Rgba8&) const = default;
};
static_assert(sizeof(Rgba8) == 4, "pictures are read straight into Rgba8 rows");

/// How a palette's 16-bit entries hold a colour; the numbers are the TLF type field.
enum class PaletteType : uint32_t {
  kRgba5551 = 0,  // red 15-11, green 10-6, blue 5-1, alpha bit 0
  kIa16 = 1,      // intensity in the high byte, alpha in the low byte
};

/// An 8-bit channel to 5 bits, rounded to the nearest: (v * 31 + 127) / 255.
/// 0 -> 0, 4 -> 0, 5 -> 1, 128 -> 16, 255 -> 31.
constexpr uint8_t Reduce8To5(uint8_t v) { return static_cast<uint8_t>((v * 31 + 127) / 255); }

/// A 5-bit channel to 8 bits by repeating its top bits below it:
/// 0 -> 0, 1 -> 8, 16 -> 132, 31 -> 255. Reduce8To5 gives the 5 bits back.
constexpr uint8_t Widen5To8(uint8_t c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); }

/// A 16-bit channel (a 16-bit PNG) to 8 bits, rounded to the nearest:
/// (v * 255 + 32767) / 65535. 0 -> 0, 128 -> 0, 129 -> 1, 0x8000 -> 128, 65535 -> 255.
constexpr uint8_t Reduce16To8(uint16_t v) {
  return static_cast<uint8_t>((uint32_t{v} * 255 + 32767) / 65535);
}

/// The alpha at and above which a colour counts as opaque in RGBA 5551,
/// whose alpha is one bit: 127 -> bit 0, 128 -> bit 1.
inline constexpr uint8_t kOpaqueThreshold = 128;

/// The RGBA 5551 entry nearest to `colour`, channel by channel.
/// {255, 128, 0, 255} -> 0xFC01 (red 31, green 16, blue 0, alpha 1).
uint16_t ToRgba5551(Rgba8 colour);

/// The colour an RGBA 5551 entry shows; alpha 1 -> 255, 0 -> 0.
/// 0xFC01 -> {255, 132, 0, 255}. ToRgba5551 gives the entry back for all 65536.
Rgba8 FromRgba5551(uint16_t entry);

/// The IA16 entry of a grey colour: intensity in the high byte, alpha in the
/// low one. {0x40, 0x40, 0x40, 0x80} -> 0x4080. False, `entry` untouched,
/// when r, g and b differ: IA16 holds no hue.
bool ToIa16(Rgba8 colour, uint16_t& entry);

/// The grey an IA16 entry shows: 0x4080 -> {0x40, 0x40, 0x40, 0x80}.
Rgba8 FromIa16(uint16_t entry);

/// The entry of `colour` in a palette of `type`; false only for a colour
/// that is not grey in an IA16 palette.
bool ToPaletteEntry(Rgba8 colour, PaletteType type, uint16_t& entry);

/// The colour an entry of a palette of `type` shows.
Rgba8 FromPaletteEntry(uint16_t entry, PaletteType type);

/// The entry that every pixel nobody can see takes in a palette the kit
/// builds, whatever colour it hides: 0x0000, alpha 0 in both types.
inline constexpr uint16_t kHiddenEntry = 0;

/// Whether a palette of `type` shows `colour` fully transparent: in RGBA
/// 5551 an alpha below 128 (its alpha bit 0), in intensity/alpha an alpha of
/// 0 only (1 to 127 show, faintly). {9, 9, 9, 100} -> true in RGBA 5551,
/// false in IA16.
bool IsHiddenColour(Rgba8 colour, PaletteType type);

/// Whether an entry of a palette of `type` shows nothing: RGBA 5551 alpha
/// bit 0, intensity/alpha low byte 0. 0xFC00 -> true in RGBA 5551.
bool IsHiddenEntry(uint16_t entry, PaletteType type);

/// The entry a pixel of `colour` takes in a palette of `type`: that of
/// ToPaletteEntry, except that every colour IsHiddenColour is kHiddenEntry,
/// so pixels nobody can see are one colour however many RGB values they
/// hide. {9, 9, 9, 100} -> 0 in RGBA 5551, 0x0964 in IA16; {9, 200, 9, 0}
/// -> 0 in IA16 too. False only for a colour an IA16 palette shows that is
/// not grey. A palette's own entries keep what they hide: ToPaletteEntry.
bool ToPixelEntry(Rgba8 colour, PaletteType type, uint16_t& entry);
