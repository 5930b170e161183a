#include "image/png_reader.h"
#include "image/png_support.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
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

// What the libpng callbacks share with the reader. It lives in the reader's
// state, outside every setjmp frame.
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

// setjmp frame: reads every pass of the next `count` rows into `rows`,
// `stride` bytes apart; an interlaced file fills them pass by pass.
bool ReadRowsFrame(png_structp png, png_bytep rows, size_t stride, png_uint_32 count, int passes) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < count; ++y) png_read_row(png, rows + y * stride, nullptr);
  return true;
}

// setjmp frame: reads the chunks after the image data.
bool ReadEndFrame(png_structp png) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_end(png, nullptr);
  return true;
}

// Refuses pictures larger than the caller takes and files too short to
// hold them.
bool CheckSize(const PngLayout& layout, uint64_t maxPixels, uint64_t remaining,
               std::string& message) {
  const uint64_t pixelCount = uint64_t{layout.width} * layout.height;
  if (pixelCount > maxPixels) {
    message = "picture of " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
              " pixels is too large: at most " + std::to_string(maxPixels) + " are read";
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

// libpng's text for the error that stopped it.
std::string LibpngReason(const ReadContext& context) {
  return context.message.empty() ? std::string("damaged PNG data") : context.message;
}

}  // namespace

// Everything a reader keeps between calls, on the heap: libpng holds
// pointers to the context, so it never moves.
struct CPngReader::CState {
  explicit CState(CPngSource from) : source(from), png(context) { context.source = &source; }

  enum class Step { kHeader, kRows, kEnd, kDone, kFailed };

  // Fails the reader for good: after a libpng error its structs may not be
  // used again, and every later call gets the same reason.
  bool Fail(std::string reason, std::string& message) {
    step = Step::kFailed;
    failure = std::move(reason);
    message = failure;
    return false;
  }
  // The reason for a call made out of turn.
  bool Refuse(std::string& message, const char* reason) {
    message = step == Step::kFailed ? failure : std::string(reason);
    return false;
  }
  // Takes the memory the rows go to: one row, or every row of an
  // interlaced picture. "out of memory" when there is none.
  bool AllocateRows(std::string& message) {
    const size_t pixels = size_t{layout.width} * (layout.passes > 1 ? layout.height : 1);
    try {
      if (header.indexed)
        indices.resize(pixels);
      else
        colours.resize(pixels);
    } catch (const std::bad_alloc&) {
      return Fail("out of memory", message);
    }
    return true;
  }
  png_bytep Rows() {
    return header.indexed ? indices.data() : reinterpret_cast<png_bytep>(colours.data());
  }

  CPngSource source;
  ReadContext context;
  CPngReadStruct png;
  PngLayout layout;
  CPngHeader header;
  Step step = Step::kHeader;
  std::string failure;
  // One row, or an interlaced picture whole; `row` is the one handed out.
  std::vector<uint8_t> indices;
  std::vector<Rgba8> colours;
  uint32_t nextRow = 0;
  size_t row = 0;  // its first pixel in `indices` or `colours`
};

CPngReader::CPngReader(std::istream& in) : m_state(std::make_unique<CState>(CPngSource(in))) {}

CPngReader::CPngReader(std::span<const uint8_t> bytes)
    : m_state(std::make_unique<CState>(CPngSource(bytes))) {}

CPngReader::~CPngReader() = default;

bool CPngReader::ReadHeader(uint64_t maxPixels, std::string& message) {
  CState& state = *m_state;
  if (state.step != CState::Step::kHeader) return state.Refuse(message, "header read already");
  std::array<uint8_t, kSignatureSize> signature{};
  const size_t signatureSize = state.source.Read(signature.data(), signature.size());
  if (signatureSize == 0 || png_sig_cmp(signature.data(), 0, signatureSize) != 0)
    return state.Fail("not a PNG file", message);
  if (signatureSize < kSignatureSize) return state.Fail("truncated PNG data", message);
  if (!state.png.IsValid()) return state.Fail("out of memory", message);

  png_structp png = state.png.GetPng();
  png_set_read_fn(png, &state.context, OnPngRead);
  png_set_sig_bytes(png, kSignatureSize);
  if (!ReadInfoFrame(png, state.png.GetInfo(), &state.layout))
    return state.Fail(LibpngReason(state.context), message);
  std::string reason;
  if (!CheckSize(state.layout, maxPixels, state.source.GetRemaining(), reason))
    return state.Fail(reason, message);
  state.header.width = state.layout.width;
  state.header.height = state.layout.height;
  state.header.indexed = IsIndexed(state.layout);
  if (state.header.indexed) TakePalette(png, state.png.GetInfo(), state.header.palette);
  state.step = CState::Step::kRows;
  return true;
}

const CPngHeader& CPngReader::GetHeader() const { return m_state->header; }

bool CPngReader::ReadRow(std::string& message) {
  CState& state = *m_state;
  if (state.step != CState::Step::kRows) return state.Refuse(message, "no row left to read");
  const PngLayout& layout = state.layout;
  const bool interlaced = layout.passes > 1;
  if (state.nextRow == 0) {
    if (!state.AllocateRows(message)) return false;
    // An interlaced picture is complete only after its last pass.
    if (interlaced &&
        !ReadRowsFrame(state.png.GetPng(), state.Rows(), layout.rowBytes, layout.height,
                       layout.passes))
      return state.Fail(LibpngReason(state.context), message);
  }
  if (!interlaced && !ReadRowsFrame(state.png.GetPng(), state.Rows(), layout.rowBytes, 1, 1))
    return state.Fail(LibpngReason(state.context), message);
  state.row = interlaced ? size_t{state.nextRow} * layout.width : 0;
  if (++state.nextRow == layout.height) state.step = CState::Step::kEnd;
  return true;
}

std::span<const uint8_t> CPngReader::GetIndices() const {
  if (m_state->indices.empty()) return {};
  return std::span(m_state->indices).subspan(m_state->row, m_state->layout.width);
}

std::span<const Rgba8> CPngReader::GetColours() const {
  if (m_state->colours.empty()) return {};
  return std::span(m_state->colours).subspan(m_state->row, m_state->layout.width);
}

bool CPngReader::ReadEnd(std::string& message) {
  CState& state = *m_state;
  if (state.step != CState::Step::kEnd) return state.Refuse(message, "rows left unread");
  if (!ReadEndFrame(state.png.GetPng())) return state.Fail(LibpngReason(state.context), message);
  state.step = CState::Step::kDone;
  return true;
}
