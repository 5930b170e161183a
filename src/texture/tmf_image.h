// CTmfImage: one colour-index texture image (4 or 8 bits per pixel) read
// from a TMF file, and its C text: a static u32 array of the pixel bytes,
// rows last first, and a struct qmTMF that points to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/load_report.h"

/// What the body of a TMF file held, as the loader read it.
struct CTmfBody {
  /// Bytes behind the header; kUnknownLength when they cannot be counted (a pipe).
  uint64_t length = 0;
  bool packed = false;        // read as packed rows: its length is packedLength
  uint64_t packedLength = 0;  // what packed rows take, made a multiple of 4
  uint64_t paddedLength = 0;  // what rows padded to whole words take
  int32_t wholeRows = 0;      // rows the body held whole; the others are zero in part or whole

  static constexpr uint64_t kUnknownLength = ~uint64_t{0};
};

class CTmfImage {
 public:
  CTmfImage() = default;
  ~CTmfImage() { Release(); }
  CTmfImage(const CTmfImage&) = delete;
  CTmfImage& operator=(const CTmfImage&) = delete;

  /// Frees the pixels; all numbers become 0.
  void Release();
  /// Empty image of the given size, all pixels zero; false (image empty) for
  /// a size outside 0..65536, bits other than 4 or 8, or no memory. Only the
  /// rows that the export can hold are kept (all of them below 512 KiB), so
  /// memory follows the export, not the declared size.
  bool Create(int32_t width, int32_t height, int32_t bitsPerPixel);
  /// Reads a TMF file; on failure `report` has been told why and the image
  /// is empty. A body of the packed length is read as packed rows, any other
  /// as word-padded rows as far as it goes (missing bytes stay zero).
  bool Load(const std::string& fileName, const LoadReporter& report);

  /// Reads a TMF file as Load does, but keeps every row rather than those
  /// the C array can hold: for pictures turned back into PNG. Rows of more
  /// than kMaxWholeBytes fail like storage that cannot be allocated.
  bool LoadWhole(const std::string& fileName, const LoadReporter& report);
  /// The colour index at column `x` of row `y`, rows counted from the
  /// picture's top (the file's last row); 0 outside the rows kept.
  uint8_t GetIndex(int32_t x, int32_t y) const;
  /// The rows held: every row after LoadWhole; after Load those the C array
  /// can hold, the file's first rows, which are the picture's bottom rows.
  /// A 1024 x 1024 8-bit picture after Load -> 512.
  int32_t GetKeptRows() const;

  /// The bytes the C array holds: rows last first, at most 524288 bytes,
  /// length made even. Empty when the image is empty.
  std::vector<uint8_t> MakeExportBytes() const;

  /// Appends the static u32 array "<name>_img" of the export bytes, four
  /// values to a line (a last value that the rows do not fill is completed
  /// with zero bytes), and the static struct qmTMF "<name>" that points to
  /// it, both 8-byte aligned.
  void WriteStruct(std::string& defText, const std::string& name) const;
  /// Appends the definition of struct qmTMF; returns `text`.
  static std::string& AppendStructDef(std::string& text);

  /// The body of the file last loaded. 8-bit 4 x 16 with a body of 12
  /// bytes -> length 12, wholeRows 3.
  const CTmfBody& GetBody() const { return m_body; }
  /// The rows the C array holds, bottom rows first: all of them unless the
  /// pixels pass 512 KiB. 8-bit 1024 x 1024 -> 512.
  int32_t GetExportRows() const;
  /// The bytes of pixels the C array holds (MakeExportBytes().size()).
  uint64_t GetExportLength() const;

  int32_t GetWidth() const { return m_width; }
  int32_t GetHeight() const { return m_height; }
  int32_t GetBitsPerPixel() const { return m_bitsPerPixel; }

  /// The most bytes of rows LoadWhole keeps: 16 MiB, a 4096 x 4096 8-bit
  /// picture, the largest the kit imports. A header may declare far more
  /// over a body of a few bytes; what comes of it must stay in proportion.
  static constexpr uint64_t kMaxWholeBytes = uint64_t{1} << 24;

 private:
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_bitsPerPixel = 0;
  bool m_bWhole = false;  // while LoadWhole runs: keep every row
  CTmfBody m_body;
  // Rows in file order, each rowWords words, its pixel bytes first.
  std::vector<uint32_t> m_pixels;
};
