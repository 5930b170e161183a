// Indexed PNG pictures out, to memory: the preview embeds them as data URIs
// and the exporter writes them to a file of its choosing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/indexed_image.h"

/// Encodes `image` as a non-interlaced palette PNG of `bitDepth` 4 or 8 into
/// `png` (replacing its content): PLTE with every palette entry given, tRNS
/// only when some alpha is below 255 (with the trailing opaque entries left
/// out), no gamma or time chunks. The same picture always gives the same
/// bytes (zlib level 6, no row filter: palette rows rarely gain from one).
/// False, `png` empty, with the reason in `message` when the depth is not 4
/// or 8, the picture is malformed (see CheckIndexedImage; at most 16 entries
/// at depth 4, 256 at depth 8), or libpng fails.
bool WriteIndexedPng(const CIndexedImageView& image, int bitDepth, std::vector<uint8_t>& png,
                     std::string& message);
