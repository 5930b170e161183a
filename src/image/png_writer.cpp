#include "image/png_writer.h"
#include "image/png_support.h"

#include <png.h>

#include <csetjmp>
#include <new>

namespace {

// PNG's own limit on a side.
constexpr uint32_t kMaxPngSide = 0x7FFFFFFF;
constexpr int kCompressionLevel = 6;

// What the libpng callbacks share with the writer; it lives in
// WriteIndexedPng, outside the setjmp frame.
struct WriteContext : CPngErrors {
  std::vector<uint8_t>* out = nullptr;
};

// Appends to the caller's vector. A failed append cannot jump out of the
// catch block (the exception would never be destroyed), so it is only
// noted there and reported after it.
bool AppendBytes(std::vector<uint8_t>& out, png_bytep data, size_t count) noexcept {
  try {
    out.insert(out.end(), data, data + count);
    return true;
  } catch (...) {
    return false;
  }
}

void OnPngWrite(png_structp png, png_bytep data, size_t count) {
  auto* context = static_cast<WriteContext*>(png_get_io_ptr(png));
  if (!AppendBytes(*context->out, data, count)) png_error(png, "out of memory");
}

void OnPngFlush(png_structp) {}

using CPngWriteStruct = CPngStruct<PngDirection::kWrite>;

// Everything the frame writes, prepared by the caller beforehand.
struct WriteJob {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 8;
  const png_color* colours = nullptr;
  int colourCount = 0;
  const png_byte* alphas = nullptr;
  int alphaCount = 0;  // 0: no tRNS chunk
  const png_byte* indices = nullptr;
};

// setjmp frame: the whole file. It owns nothing; a libpng error lands here
// and returns false.
bool WriteFrame(png_structp png, png_infop info, const WriteJob* job) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, job->width, job->height, job->bitDepth, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, job->colours, job->colourCount);
  if (job->alphaCount > 0) png_set_tRNS(png, info, job->alphas, job->alphaCount, nullptr);
  png_set_compression_level(png, kCompressionLevel);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  png_set_packing(png);  // one byte an index in, two to a byte out at depth 4
  for (png_uint_32 y = 0; y < job->height; ++y)
    png_write_row(png, job->indices + size_t{y} * job->width);
  png_write_end(png, info);
  return true;
}

// The tRNS entries: every alpha up to the last one below 255. Empty when all
// are opaque, and then no tRNS chunk is written.
std::vector<png_byte> MakeAlphas(std::span<const Rgba8> palette) {
  size_t count = palette.size();
  while (count > 0 && palette[count - 1].a == 255) --count;
  std::vector<png_byte> alphas(count);
  for (size_t i = 0; i < count; ++i) alphas[i] = palette[i].a;
  return alphas;
}

bool WritePrepared(const CIndexedImageView& image, int bitDepth, std::vector<uint8_t>& png,
                   std::string& message) {
  std::vector<png_color> colours(image.palette.size());
  for (size_t i = 0; i < colours.size(); ++i)
    colours[i] = {image.palette[i].r, image.palette[i].g, image.palette[i].b};
  const std::vector<png_byte> alphas = MakeAlphas(image.palette);

  WriteJob job;
  job.width = image.width;
  job.height = image.height;
  job.bitDepth = bitDepth;
  job.colours = colours.data();
  job.colourCount = static_cast<int>(colours.size());
  job.alphas = alphas.data();
  job.alphaCount = static_cast<int>(alphas.size());
  job.indices = image.indices.data();

  WriteContext context;
  context.out = &png;
  CPngWriteStruct writer(context);
  if (!writer.IsValid()) {
    message = "out of memory";
    return false;
  }
  png_set_write_fn(writer.GetPng(), &context, OnPngWrite, OnPngFlush);
  if (!WriteFrame(writer.GetPng(), writer.GetInfo(), &job)) {
    message = context.message.empty() ? std::string("PNG encoding failed") : context.message;
    return false;
  }
  return true;
}

}  // namespace

bool WriteIndexedPng(const CIndexedImageView& image, int bitDepth, std::vector<uint8_t>& png,
                     std::string& message) {
  png.clear();
  if (bitDepth != 4 && bitDepth != 8) {
    message = "bit depth " + std::to_string(bitDepth) + " (4 or 8 allowed)";
    return false;
  }
  if (!CheckIndexedImage(image, kMaxPngSide, size_t{1} << bitDepth, message)) return false;
  bool written = false;
  try {
    // A palette picture compresses to a fraction of its indices; reserving
    // that avoids most regrowth of the output.
    png.reserve(image.indices.size() / 4 + 1024);
    written = WritePrepared(image, bitDepth, png, message);
  } catch (const std::bad_alloc&) {
    message = "out of memory";
  }
  if (!written) png = std::vector<uint8_t>();
  return written;
}
