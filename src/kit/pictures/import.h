// flipdeck-kit import: PNG pictures to TMF images and TLF palettes.
//
// Colours become 16-bit palette entries by the rules of image/colour.h
// (RGBA 5551 by default, intensity/alpha with --ia16). An indexed PNG keeps
// its palette exactly, in its order, unused entries included: index i of
// the PNG is index i of the TMF. Other pictures get their colours in the
// order they first appear, rows top to bottom, left to right, except that
// the pixels nobody can see are one colour at index 0. A palette of at
// most 16 entries makes a 4-bit image, of at most 256 an 8-bit one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/colour.h"
#include "image/palette_builder.h"
#include "kit/common/diagnostics.h"

class CPngReader;
class CStagedFiles;

struct ImportOptions {
  std::vector<std::string> pictures;
  std::string outDir;   // beside each picture when empty
  bool ia16 = false;    // intensity/alpha entries (TLF type 1)
  int bits = 0;         // 4 or 8 forced; 0 chooses by the palette's size
  std::string palette;  // an imposed palette: a TLF file or an indexed PNG
  std::string shared;   // one palette for all pictures, written to this TLF
};

/// The largest picture import takes: 2^24 pixels, 4096 x 4096 or any other
/// shape of that area whose sides a TMF image can have (65536 at most). The
/// C array flipdeck writes for an image holds at most 512 KiB of its pixels,
/// 1,048,576 at 4 bits, so a target never shows more of one picture; the cap
/// leaves sixteen times that for images kept larger than their array (the
/// target shows the rows that fit), and bounds what one picture costs an
/// import: its indices and its TMF, 32 MiB at most. A larger picture is
/// refused at its header, before its pixels take any memory.
inline constexpr uint64_t kMaxImportPixels = uint64_t{1} << 24;

/// Reads the header of the PNG `png` reads (`path` in messages) and refuses
/// a picture no TMF image takes: more than kMaxImportPixels pixels, or a
/// side longer than 65536. False after the message, to `reporter`.
bool ReadImportHeader(const std::string& path, CPngReader& png,
                      const CKitReporter& reporter = CKitReporter());

/// The import job: 0 when every output was written, 1 after the messages of
/// a job that changed no file. A picture whose TMF belongs to a project
/// that records its art keeps the PNG's print in it; when that project
/// shares one palette among its pictures, and no palette or entries of its
/// own are asked for (--palette, --shared, --ia16, --bits), the picture
/// goes through that palette as sync takes it, and import says so.
int RunImport(const ImportOptions& options);

/// Where the import of `picture` writes its TMF and TLF: `walk1.png` ->
/// `walk1.tmf`, `walk1.tlf`, beside it or in `outDir`.
std::string ImportTarget(const std::string& picture, const std::string& outDir,
                         const char* extension);

/// The import of a set of pictures, one picture at a time: each is read row
/// by row and converted, and its files are staged before the next is read,
/// so that what a job holds does not grow with its pictures. Used by import
/// and by new.
class CImporter {
 public:
  explicit CImporter(const ImportOptions& options);

  /// Reads the imposed palette, when there is one. False after the message.
  bool ReadImposedPalette();
  /// With a shared palette, the first pass over the pictures: reads one and
  /// adds the colours it shows to the shared palette. False after the message.
  bool Survey(const std::string& path);
  /// Distinct colours the pictures have shown so far with a shared palette.
  int GetSharedColourCount() const;
  /// Reads and converts one picture and stages its TMF in `files`, and its
  /// TLF unless a shared palette serves it; with a shared palette, after
  /// every picture was surveyed. With `record`, the TMF keeps the print of
  /// the PNG, the art of a project's picture (art_record.h). False after
  /// the message.
  bool Import(const std::string& path, CStagedFiles& files, bool record = false);
  /// Stages the shared palette, when there is one. False after the message.
  bool Finish(CStagedFiles& files);

  /// The files the import reads, and those it writes.
  std::vector<std::string> Inputs() const;
  std::vector<std::string> Targets() const;

 private:
  // A picture converted: its indices and, unless a shared or imposed
  // palette serves it, its own palette.
  struct CImported {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> indices;   // one a pixel, top row first
    std::vector<uint16_t> entries;  // its own palette
    int colourCount = 0;            // distinct entries its pixels use, or its PNG palette's size
  };
  // Every distinct colour a picture may have: a builder that never fills, so
  // that a picture with too many colours can be told how many it has.
  static constexpr int kCountAll = 65536;

  bool ToEntry(const std::string& path, Rgba8 colour, uint32_t x, uint32_t y, uint16_t& entry);
  // Reads `path` and converts its pixels; a survey adds them to the shared
  // palette and keeps nothing.
  bool Read(const std::string& path, bool survey, CImported& picture);
  // Row `y` just read by `png` into `out`, its part of the indices: as the
  // file holds them, or its colours looked up in `palette`, which takes
  // every new colour when it `grows`. `out` is empty in a survey.
  bool KeepIndexedRow(const std::string& path, const CPngReader& png, uint32_t y,
                      std::span<uint8_t> out);
  bool ColourRow(const std::string& path, const CPngReader& png, uint32_t y,
                 CPaletteBuilder& palette, bool grows, std::span<uint8_t> out);
  // The bits for `count` colours: 4 up to 16, else 8, or the forced depth;
  // false after the message when `used` of them do not fit.
  bool ChooseBits(const std::string& path, int count, int used, int& bits) const;
  // The bits of `picture`, whose palette is its own, shared or imposed.
  bool PictureBits(const std::string& path, const CImported& picture, int& bits) const;

  const ImportOptions& m_options;
  PaletteType m_type = PaletteType::kRgba5551;
  std::optional<CPaletteBuilder> m_imposed;
  int m_imposedCount = 0;  // entries of the imposed palette as its file holds them
  int m_imposedUse = 0;    // entries of it that the pictures use: the highest index + 1
  CPaletteBuilder m_shared{kCountAll};
};
