// A TMF image shown through a TLF palette, as an indexed PNG: what export
// writes and what the preview embeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Loads `tmfPath` whole and `tlfPath` through flipdeck's loaders (whose
/// errors they show themselves) and encodes the picture as an indexed PNG,
/// top row first: 4 bits when the image has 4 and the palette at most 16
/// entries, else 8; every palette entry in the PLTE, widened to 8 bits a
/// channel (IA16 as grey with alpha), with its alpha in tRNS. False after
/// the message, naming the first pixel whose index lies past the palette.
bool EncodePicturePng(const std::string& tmfPath, const std::string& tlfPath,
                      std::vector<uint8_t>& png);
