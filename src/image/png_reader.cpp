#include "image/png_reader.h"
#include "image/png_support.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <fstream>
#include <limits>
#include <new>

namespace {

constexpr size_t kSignatureSize = 8;
constexpr uint64_t kUnknownLength = std::numeric_limits<uint64_t>::max();
// Deflate never expands its input more than 1032 times, so a file claiming
// more pixel bytes than that from the bytes it has left is cut short; it is
// refused before its pixel memory is taken.
constexpr uint64_t kMaxInflateRatio = 1032;

// Where the bytes of a PNG come from: a stream read as libpng asks (never
// slurped whole), or a span of memory.
class CPngSource {
 public:
  explicit CPngSource(std::istream& in) : m_stream(&in) {}
  explicit CPngSource(std::span<const uint8_t> bytes) : m_memory(bytes) {}

  // Copies up to `count` next bytes to `out`; how many arrived.
  size_t Read(uint8_t* out, size_t count) noexcept {
    if (m_stream == nullptr) {
      const size_t taken = std::min(count, m_memory.size() - m_offset);
      std::copy_n(m_memory.data() + m_offset, taken, out);
      m_offset += taken;
      return taken;
    }
    // A stream the caller set to throw reports a failure like any other.
    try {
      m_stream->read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
      return static_cast<size_t>(m_stream->gcount());
    } catch (...) {
      return 0;
    }
  }

  // The bytes left, or kUnknownLength for a stream that cannot seek (a pipe).
  uint64_t GetRemaining() noexcept {
    if (m_stream == nullptr) return m_memory.size() - m_offset;
    try {
      const std::streampos here = m_stream->tellg();
      if (here < 0) return kUnknownLength;
      m_stream->seekg(0, std::ios::end);
      const std::streampos end = m_stream->tellg();
      m_stream->clear();
      m_stream->seekg(here);
      if (end < here) return kUnknownLength;
      return static_cast<uint64_t>(end - here);
    } catch (...) {
      return kUnknownLength;
    }
  }

 private:
  std::istream* m_stream = nullptr;
  std::span<const uint8_t> m_memory;
  size_t m_offset = 0;
};

// What the libpng callbacks share with the reader. It lives in ReadFrom,
// outside every setjmp frame.
struct ReadContext : CPngErrors {
  CPngSource* source = nullptr;
};

void OnPngRead(png_structp png, png_bytep out, size_t count) {
  auto* context = static_cast<ReadContext*>(png_get_io_ptr(png));
  if (context->source->Read(out, count) != count) png_error(png, "truncated PNG data");
}

using CPngReadStruct = CPngStruct<PngDirection::kRead>;

// The file's header and the rows libpng delivers once the transforms are set.
struct PngLayout {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  int fileChannels = 1;  // before the transforms
  int passes = 1;
  size_t rowBytes = 0;
};

bool IsIndexed(const PngLayout& layout) { return layout.colourType == PNG_COLOR_TYPE_PALETTE; }

// Every non-palette file is delivered as RGBA8: grey widened to three
// channels, low bit depths scaled up, 16-bit channels rounded down, a colour
// key turned into alpha, and opaque alpha added where the file has none.
// libpng's scale_16 rounds exactly as Reduce16To8 does.
void SetRgbaTransforms(png_structp png, png_infop info, const PngLayout& layout) {
  const bool hasKey = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (layout.colourType == PNG_COLOR_TYPE_GRAY && layout.bitDepth < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (hasKey) png_set_tRNS_to_alpha(png);
  if (layout.bitDepth == 16) png_set_scale_16(png);
  if ((layout.colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  if ((layout.colourType & PNG_COLOR_MASK_ALPHA) == 0 && !hasKey)
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
}

// setjmp frame: reads the chunks before the image data and chooses the
// transforms. It owns nothing; a libpng error lands here and returns false.
bool ReadInfoFrame(png_structp png, png_infop info, PngLayout* layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_get_IHDR(png, info, &layout->width, &layout->height, &layout->bitDepth, &layout->colourType,
               nullptr, nullptr, nullptr);
  layout->fileChannels = png_get_channels(png, info);
  if (IsIndexed(*layout))
    png_set_packing(png);  // one byte an index whatever the file's depth
  else
    SetRgbaTransforms(png, info, *layout);
  layout->passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout->rowBytes = png_get_rowbytes(png, info);
  return true;
}

// setjmp frame: reads every pass of every row straight into the caller's
// picture (`height` rows `stride` bytes apart; an interlaced file fills them
// pass by pass), then the chunks after the image data.
bool ReadRowsFrame(png_structp png, png_bytep rows, size_t stride, png_uint_32 height, int passes) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, rows + y * stride, nullptr);
  png_read_end(png, nullptr);
  return true;
}

// Refuses pictures too large to hold and files too short to hold them.
bool CheckSize(const PngLayout& layout, uint64_t remaining, std::string& message) {
  const uint64_t pixelCount = uint64_t{layout.width} * layout.height;
  if (pixelCount > kMaxPngPixels) {
    message = "picture of " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
              " pixels is too large";
    return false;
  }
  const uint64_t pixelBits = pixelCount * static_cast<uint64_t>(layout.bitDepth) *
                             static_cast<uint64_t>(layout.fileChannels);
  if (remaining != kUnknownLength && pixelBits / 8 > remaining * kMaxInflateRatio + 1024) {
    message = "truncated PNG data";
    return false;
  }
  const uint64_t pixelBytes = IsIndexed(layout) ? 1 : sizeof(Rgba8);
  if (layout.rowBytes != layout.width * pixelBytes) {
    message = "unexpected row layout from libpng";
    return false;
  }
  return true;
}

// The palette with its tRNS alpha; entries tRNS does not reach stay opaque.
void TakePalette(png_structp png, png_infop info, std::vector<Rgba8>& palette) {
  png_colorp colours = nullptr;
  int colourCount = 0;
  png_get_PLTE(png, info, &colours, &colourCount);
  png_bytep alphas = nullptr;
  int alphaCount = 0;
  png_get_tRNS(png, info, &alphas, &alphaCount, nullptr);
  palette.resize(static_cast<size_t>(colourCount));
  for (int i = 0; i < colourCount; ++i) {
    const uint8_t alpha = i < alphaCount && alphas != nullptr ? alphas[i] : 255;
    palette[static_cast<size_t>(i)] = {colours[i].red, colours[i].green, colours[i].blue, alpha};
  }
}

// Takes the picture's memory; "out of memory" when there is none.
bool AllocatePicture(const PngLayout& layout, CPngPicture& picture, std::string& message) {
  const size_t pixelCount = size_t{layout.width} * layout.height;
  try {
    if (picture.indexed)
      picture.indices.resize(pixelCount);
    else
      picture.pixels.resize(pixelCount);
  } catch (const std::bad_alloc&) {
    message = "out of memory";
    return false;
  }
  return true;
}

// Empties the picture after a failure, so that a caller never keeps half of one.
bool Refuse(CPngPicture& picture) {
  picture = CPngPicture();
  return false;
}

// libpng's text for the error that stopped it.
std::string LibpngReason(const ReadContext& context) {
  return context.message.empty() ? std::string("damaged PNG data") : context.message;
}

bool ReadFrom(CPngSource& source, CPngPicture& picture, std::string& message) {
  picture = CPngPicture();
  std::array<uint8_t, kSignatureSize> signature{};
  const size_t signatureSize = source.Read(signature.data(), signature.size());
  if (signatureSize == 0 || png_sig_cmp(signature.data(), 0, signatureSize) != 0) {
    message = "not a PNG file";
    return false;
  }
  if (signatureSize < kSignatureSize) {
    message = "truncated PNG data";
    return false;
  }

  ReadContext context;
  context.source = &source;
  CPngReadStruct reader(context);
  if (!reader.IsValid()) {
    message = "out of memory";
    return false;
  }
  png_set_read_fn(reader.GetPng(), &context, OnPngRead);
  png_set_sig_bytes(reader.GetPng(), kSignatureSize);

  PngLayout layout;
  if (!ReadInfoFrame(reader.GetPng(), reader.GetInfo(), &layout)) {
    message = LibpngReason(context);
    return false;
  }
  if (!CheckSize(layout, source.GetRemaining(), message)) return false;
  picture.width = layout.width;
  picture.height = layout.height;
  picture.indexed = IsIndexed(layout);
  if (!AllocatePicture(layout, picture, message)) return Refuse(picture);
  if (picture.indexed) TakePalette(reader.GetPng(), reader.GetInfo(), picture.palette);

  png_bytep rows =
      picture.indexed ? picture.indices.data() : reinterpret_cast<png_bytep>(picture.pixels.data());
  if (!ReadRowsFrame(reader.GetPng(), rows, layout.rowBytes, layout.height, layout.passes)) {
    message = LibpngReason(context);
    return Refuse(picture);
  }
  return true;
}

}  // namespace

bool ReadPng(std::istream& in, CPngPicture& picture, std::string& message) {
  CPngSource source(in);
  return ReadFrom(source, picture, message);
}

bool ReadPng(std::span<const uint8_t> bytes, CPngPicture& picture, std::string& message) {
  CPngSource source(bytes);
  return ReadFrom(source, picture, message);
}

bool ReadPngFile(const std::filesystem::path& fileName, CPngPicture& picture,
                 std::string& message) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in.is_open()) {
    picture = CPngPicture();
    message = "cannot open the file";
    return false;
  }
  return ReadPng(in, picture, message);
}
