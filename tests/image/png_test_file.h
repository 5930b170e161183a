// PNG files of every colour type, depth and interlacing for the reader's
// tests, written through libpng from known channel values, so that no test
// depends on image files of unknown origin.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/colour.h"

/// What to write. `samples` holds the channels of each pixel as stored in
/// the file (0 .. 2^bitDepth - 1), rows top to bottom; palette files have one
/// channel, the index.
struct PngTestSpec {
  int colourType = 0;  // the PNG colour type: 0, 2, 3, 4 or 6
  int bitDepth = 8;
  bool interlaced = false;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint16_t> samples;
  std::vector<Rgba8> palette;          // colour type 3: PLTE, and tRNS when `alphaCount` > 0
  int alphaCount = 0;                  // colour type 3: palette alphas written to tRNS
  std::vector<uint16_t> colourKey;     // colour types 0 and 2: tRNS key, when not empty
};

/// The channels a pixel of `colourType` has: 0 -> 1, 2 -> 3, 3 -> 1, 4 -> 2, 6 -> 4.
int ChannelCount(int colourType);

/// The PNG file of `spec`; empty, with libpng's reason in `message`, when
/// libpng refuses it.
std::vector<uint8_t> MakeTestPng(const PngTestSpec& spec, std::string& message);

/// The chunks of `png` in order, as "type:length": {"IHDR:13", "PLTE:48", ...}.
std::vector<std::string> ListChunks(const std::vector<uint8_t>& png);

/// `png` with the chunk of type `type` (the first one) replaced by `data`,
/// its length and CRC made right: how a test builds a file that is
/// well-formed but says something absurd.
std::vector<uint8_t> ReplaceChunk(const std::vector<uint8_t>& png, const std::string& type,
                                  const std::vector<uint8_t>& data);
