#include "texture/tmf_image.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <new>
#include <string_view>

#include "path/file_system.h"
#include "texture/byte_reader.h"
#include "texture/c_array_text.h"
#include "texture/load_report.h"
#include "texture/texture_format.h"

namespace {

// The C array of one image never holds more than 512 KiB of pixels.
constexpr uint64_t kExportLimit = 524288;
// A body whose end cannot be found (a pipe) is read as far as it goes.
constexpr uint64_t kUnknownLength = CTmfBody::kUnknownLength;

// How the rows of an image lie in memory and in the export. Sides are at
// most 65536 and bits at most 8, so no product below comes near 2^64.
struct TmfGeometry {
  uint64_t rowBytes = 0;    // bytes of one row's pixels
  uint64_t rowStride = 0;   // bytes of one row in memory and in a word-padded body
  uint64_t exportRows = 0;  // rows 0 .. exportRows - 1 are all the export can use
  uint64_t keptRows = 0;    // rows 0 .. keptRows - 1 are held in memory
};

// The rows of `height` that fit in `limit` bytes of pixels.
uint64_t RowsWithin(uint64_t rowBytes, int32_t height, uint64_t limit) {
  const auto rows = static_cast<uint64_t>(height);
  return rowBytes * rows >= limit ? limit / rowBytes : rows;
}

TmfGeometry MakeGeometry(int32_t width, int32_t height, int32_t bits, bool whole = false) {
  TmfGeometry geometry;
  geometry.rowBytes = TmfRowBytes(width, bits);
  geometry.rowStride = (geometry.rowBytes + 3) / 4 * 4;
  geometry.exportRows = RowsWithin(geometry.rowBytes, height, kExportLimit);
  geometry.keptRows = whole ? static_cast<uint64_t>(height) : geometry.exportRows;
  return geometry;
}

// The export's length: whole rows, made even.
uint64_t ExportLength(const TmfGeometry& geometry) {
  const uint64_t length = geometry.rowBytes * geometry.exportRows;
  return length + (length & 1);
}

bool IsKnownFormat(uint32_t tag, int32_t bits) {
  return (tag == kTmfTag4Bit && bits == 4) || (tag == kTmfTag8Bit && bits == 8);
}

// The body runs from the header's end to the file's end; the stream is
// left at the body's start. Two seeks of the file itself: this runs once
// for every image of a conversion.
uint64_t MeasureBody(std::istream& in) {
  const auto start = static_cast<std::streamoff>(kTextureHeaderSize);
  const std::streamoff end = in.rdbuf()->pubseekoff(0, std::ios::end, std::ios::in);
  const std::streamoff back = in.rdbuf()->pubseekpos(start, std::ios::in);
  if (end < start || back != start) return kUnknownLength;
  return static_cast<uint64_t>(end - start);
}

// The body of `bodyLength` bytes behind the header: its layout, and the
// rows it holds whole. The layout is told by the length alone: the packed
// length means packed rows, anything else word-padded rows as far as the
// file goes.
CTmfBody DescribeBody(const TmfGeometry& geometry, uint64_t height, uint64_t bodyLength) {
  CTmfBody body;
  body.length = bodyLength;
  body.packedLength = (geometry.rowBytes * height + 3) / 4 * 4;
  body.paddedLength = geometry.rowStride * height;
  body.packed = bodyLength == body.packedLength;
  uint64_t rows = height;
  // The last of n padded rows ends at (n - 1) * stride + rowBytes.
  if (!body.packed && geometry.rowBytes > 0 && bodyLength != kUnknownLength)
    rows = bodyLength < geometry.rowBytes
               ? 0
               : (bodyLength - geometry.rowBytes) / geometry.rowStride + 1;
  body.wholeRows = static_cast<int32_t>(std::min(rows, height));
  return body;
}

// Reads the body behind the header into `pixels` (rows of the geometry's
// stride) as `body` says it lies.
void ReadBody(std::istream& in, uint8_t* pixels, const TmfGeometry& geometry,
              const CTmfBody& body) {
  if (body.packed) {
    for (uint64_t row = 0; row < geometry.keptRows; ++row) {
      const std::span<uint8_t> target(pixels + row * geometry.rowStride, geometry.rowBytes);
      if (ReadBlock(in, target) < target.size()) return;
    }
    return;
  }
  // Word-padded rows lie in the file as they lie in memory. A short body
  // leaves the rest zero; rows that are not kept are not read.
  const uint64_t storedBytes = geometry.rowStride * geometry.keptRows;
  ReadBlock(in, std::span<uint8_t>(pixels, std::min(storedBytes, body.length)));
}

// One initialiser line of struct qmTMF: "\t<value><tail>".
void AppendField(std::string& text, std::string_view value, std::string_view tail) {
  text += '\t';
  text += value;
  text += tail;
}

}  // namespace

void CTmfImage::Release() {
  m_pixels = std::vector<uint32_t>();
  m_body = CTmfBody();
  m_width = 0;
  m_height = 0;
  m_bitsPerPixel = 0;
}

bool CTmfImage::Create(int32_t width, int32_t height, int32_t bitsPerPixel) {
  Release();
  if (width < 0 || width > kTmfMaxSide || height < 0 || height > kTmfMaxSide) return false;
  if (bitsPerPixel != 4 && bitsPerPixel != 8) return false;
  // Unless the whole picture is asked for, only the rows the export can use
  // are kept: a header may declare 65536 x 65536 pixels (4 GiB) over a body
  // of a few bytes, and the rows behind the export limit would never be
  // read again.
  const TmfGeometry geometry = MakeGeometry(width, height, bitsPerPixel, m_bWhole);
  if (geometry.rowStride * geometry.keptRows > kMaxWholeBytes) return false;
  try {
    m_pixels.assign(geometry.rowStride / 4 * geometry.keptRows, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_width = width;
  m_height = height;
  m_bitsPerPixel = bitsPerPixel;
  return true;
}

bool CTmfImage::Load(const std::string& fileName, const LoadReporter& report) {
  Release();
  // The file is closed before any box is shown, so that the artist can
  // replace it while the box is up.
  std::ifstream in(ToNativePath(fileName), std::ios::binary);
  if (!in.is_open())
    return ReportLoadError(report, "[TMF]", "[%s] file open failed.\n", fileName.c_str());

  std::array<uint8_t, kTextureHeaderSize> header{};
  if (ReadBlock(in, header) < header.size()) {
    in.close();
    return ReportLoadError(report, "[TMF]", "[%s] file read failed.\n", fileName.c_str());
  }
  CByteReader fields(header);
  uint32_t tag = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
  fields.Skip(4);
  fields.ReadU32(tag);
  fields.ReadI32(width);
  fields.ReadI32(height);
  fields.ReadI32(bits);
  if (!IsKnownFormat(tag, bits)) {
    in.close();
    return ReportLoadError(report, "[TMF]", "improper tag=0x%x, bits=%d\n", tag, bits);
  }
  if (!Create(width, height, bits)) {
    in.close();
    return ReportLoadError(report, "[TMF]", "not enough memory for create TMF.\n");
  }

  const TmfGeometry geometry = MakeGeometry(width, height, bits, m_bWhole);
  m_body = DescribeBody(geometry, static_cast<uint64_t>(height), MeasureBody(in));
  ReadBody(in, reinterpret_cast<uint8_t*>(m_pixels.data()), geometry, m_body);
  return true;
}

int32_t CTmfImage::GetExportRows() const {
  return static_cast<int32_t>(MakeGeometry(m_width, m_height, m_bitsPerPixel).exportRows);
}

uint64_t CTmfImage::GetExportLength() const {
  return ExportLength(MakeGeometry(m_width, m_height, m_bitsPerPixel));
}

bool CTmfImage::LoadWhole(const std::string& fileName, const LoadReporter& report) {
  m_bWhole = true;
  const bool loaded = Load(fileName, report);
  m_bWhole = false;
  return loaded;
}

uint8_t CTmfImage::GetIndex(int32_t x, int32_t y) const {
  if (x < 0 || x >= m_width || y < 0 || y >= m_height) return 0;
  const TmfGeometry geometry = MakeGeometry(m_width, m_height, m_bitsPerPixel);
  // The file holds the bottom row first.
  const uint64_t row = static_cast<uint64_t>(m_height - 1 - y);
  const uint64_t at = row * geometry.rowStride + static_cast<uint64_t>(x) * m_bitsPerPixel / 8;
  if (at >= m_pixels.size() * 4) return 0;
  const uint8_t byte = reinterpret_cast<const uint8_t*>(m_pixels.data())[at];
  if (m_bitsPerPixel == 8) return byte;
  // Two pixels a byte, the left one in the high nibble.
  return x % 2 == 0 ? byte >> 4 : byte & 0x0f;
}

int32_t CTmfImage::GetKeptRows() const {
  const TmfGeometry geometry = MakeGeometry(m_width, m_height, m_bitsPerPixel);
  if (geometry.rowStride == 0) return 0;
  return static_cast<int32_t>(m_pixels.size() * 4 / geometry.rowStride);
}

std::vector<uint8_t> CTmfImage::MakeExportBytes() const {
  const TmfGeometry geometry = MakeGeometry(m_width, m_height, m_bitsPerPixel);
  const uint64_t length = ExportLength(geometry);
  if (length == 0) return {};
  if (m_pixels.size() * 4 < geometry.rowStride * geometry.exportRows) return {};
  std::vector<uint8_t> bytes;
  try {
    bytes.reserve(length);
  } catch (const std::bad_alloc&) {
    return {};
  }
  const auto* pixels = reinterpret_cast<const uint8_t*>(m_pixels.data());
  // The previewer takes the rows in the reverse of the file's order.
  for (uint64_t row = geometry.exportRows; row-- > 0;) {
    const uint8_t* first = pixels + row * geometry.rowStride;
    bytes.insert(bytes.end(), first, first + geometry.rowBytes);
  }
  bytes.resize(length);  // the byte that makes an odd length even is zero
  return bytes;
}

void CTmfImage::WriteStruct(std::string& defText, const std::string& name) const {
  const std::string imgName = name + "_img";
  // The data text dwarfs the rest; one reservation for both keeps 1.5 MB of
  // text from being copied when the struct is appended behind it.
  const uint64_t exportLength = ExportLength(MakeGeometry(m_width, m_height, m_bitsPerPixel));
  defText.reserve(defText.size() + HexLinesSize(exportLength, 4, 4) + 512 + 4 * name.size());

  // Every line holds the values of 16 export bytes.
  AppendStaticArray(defText, "u32", imgName, MakeExportBytes(), 4, 4);

  AppendDefinitionOpen(defText, "struct qmTMF " + name);
  AppendField(defText, imgName, ",\t// image address\n");
  AppendField(defText, "G_IM_FMT_CI", ",\t// image format\n");
  AppendField(defText, m_bitsPerPixel == 4 ? "G_IM_SIZ_4b" : "G_IM_SIZ_8b",
              ",\t// image bit size\n");
  AppendField(defText, std::to_string(m_width), ",\t// image width\n");
  AppendField(defText, std::to_string(m_height), "\t// image height\n");
  defText += "};\n\n";
}

std::string& CTmfImage::AppendStructDef(std::string& text) {
  text +=
      "#ifndef\t_qmTMF_\n#define\t_qmTMF_\n\nstruct qmTMF {\n\tu32*\timg;\n\tu32\t\tfmt;\n"
      "\tu32\t\tsiz;\n\tu32\t\twidth;\n\tu32\t\theight;\n};\n\n#endif\n";
  return text;
}
