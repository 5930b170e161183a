// Animated GIF out, as it is made: the preview's loop of the views of an
// animation, each frame one colour-index picture shown for a delay.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "image/indexed_image.h"

/// One picture of the animation and how long it shows.
struct CGifFrame {
  CIndexedImageView image;
  int64_t delay = 0;  // hundredths of a second
};

/// Where an encoder's bytes go, piece by piece as they are made (a piece is
/// at most 256 bytes); false when a piece cannot be taken, which stops it.
using GifSink = std::function<bool(std::span<const uint8_t> bytes)>;

/// Encodes `frames` as a GIF89a animation that loops forever and hands its
/// bytes to `sink` as they are made: nothing of the file is held, so memory
/// does not grow with the animation's length. Each picture pixel becomes
/// `scale` × `scale` GIF pixels (a 16 × 16 picture at scale 3 is 48 × 48).
/// The screen is as wide as the widest frame and as tall as the tallest;
/// every frame is drawn at its top left corner and its area cleared to the
/// background before the next, so transparent pixels never show an earlier
/// frame.
///
/// Colour tables: one global table when every frame's palette holds the same
/// entries, a local table on each frame otherwise; tables are padded with
/// black to a power of two (at least 2).
///
/// Transparency: a GIF pixel is transparent or opaque, so a palette entry
/// whose alpha is below kOpaqueThreshold is transparent (the 5551 rule: an
/// alpha bit of 0) and any other is opaque. A GIF frame has only one
/// transparent index, so when a palette has several transparent entries, the
/// pixels of all of them are written as the first such entry: they all look
/// the same, transparent.
///
/// Delays: a GIF holds at most 65535 hundredths a frame, so a longer delay
/// is split over several copies of its picture whose delays add up to it:
/// 140000 -> 46667, 46667, 46666.
///
/// False with the reason in `message` for no frames, a scale of 0, a
/// malformed picture (see CheckIndexedImage; at most 65535 pixels a side
/// once scaled, and 256 entries) or a negative delay, all found before the
/// first byte goes out, or for a giflib failure (giflib's own text); false
/// with `message` empty when `sink` refused a piece (it knows why). A
/// failure may come after some bytes went out: the caller drops what it was
/// given.
bool WriteGif(std::span<const CGifFrame> frames, uint32_t scale, const GifSink& sink,
              std::string& message);
