// PNG pictures in, row by row: every file libpng accepts, as colour indices
// with their palette when the file has one, as 8-bit RGBA otherwise. Values
// are taken as stored: no gamma or colour-space conversion is applied.
// A reader holds one row at a time (an interlaced file excepted, see
// ReadRow), so reading a picture costs what one of its rows takes, whatever
// its size; the caller keeps what it needs of each.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "image/colour.h"

/// What a PNG file says of its picture before the pixels.
struct CPngHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  /// True for a palette file: its rows are indices into `palette`.
  bool indexed = false;
  /// Indexed: the PLTE entries in order, unused ones included, each with its
  /// tRNS alpha (255 where tRNS gives none).
  std::vector<Rgba8> palette;
};

class CPngReader {
 public:
  /// A reader of the PNG in `in`, which must outlive it. Nothing is read yet.
  explicit CPngReader(std::istream& in);
  /// The same over bytes in memory, which must outlive it.
  explicit CPngReader(std::span<const uint8_t> bytes);
  ~CPngReader();
  CPngReader(const CPngReader&) = delete;
  CPngReader& operator=(const CPngReader&) = delete;

  /// Reads the signature and the chunks before the pixels. A picture of
  /// more than `maxPixels` pixels is refused there, before any pixel memory
  /// is taken: the caller knows what it can use. False with the reason in
  /// `message`: "not a PNG file", "truncated PNG data" (also for a file far
  /// too short for the pixels it claims), "picture of 70000 x 70000 pixels
  /// is too large: at most 16777216 are read", or libpng's own text for a
  /// damaged file.
  bool ReadHeader(uint64_t maxPixels, std::string& message);
  /// The header; valid once ReadHeader succeeded.
  const CPngHeader& GetHeader() const;

  /// Reads the next row, top row first, into GetIndices (indexed) or
  /// GetColours (otherwise), where it stays until the next call. An
  /// interlaced file completes no row before its last pass, so its first
  /// row decodes the whole picture (1 byte a pixel indexed, 4 otherwise)
  /// and the later ones are handed out from there. False with the reason
  /// for damaged or truncated data, or when every row was read already.
  bool ReadRow(std::string& message);
  /// The row read, one index a pixel. A PNG may hold indices beyond its
  /// palette; they are given as they are.
  std::span<const uint8_t> GetIndices() const;
  /// The row read, one colour a pixel. Grey becomes r = g = b; 1, 2 and
  /// 4-bit grey is scaled to 8 bits (4-bit 0x7 -> 0x77); 16-bit channels
  /// are reduced by Reduce16To8; a tRNS colour key becomes alpha 0 and every
  /// other pixel of a file without alpha alpha 255.
  std::span<const Rgba8> GetColours() const;

  /// After the last row: reads the chunks after the pixels up to IEND, so
  /// that a file damaged or cut short there fails too; a stream is left
  /// after IEND. False with the reason, as ReadHeader.
  bool ReadEnd(std::string& message);

 private:
  struct CState;
  std::unique_ptr<CState> m_state;
};
