#include "image/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <new>
#include <optional>
#include <vector>

namespace {

constexpr uint32_t kMaxGifSide = 65535;
constexpr int64_t kMaxGifDelay = 65535;
constexpr size_t kMaxGifColours = 256;
constexpr int kColourResolution = 8;

// Where giflib's output goes: the caller's sink. A piece it refuses is noted
// and reported to giflib as a short write.
struct GifOutput {
  const GifSink* sink = nullptr;
  bool failed = false;
};

int OnGifWrite(GifFileType* gif, const GifByteType* data, int count) {
  auto* output = static_cast<GifOutput*>(gif->UserData);
  try {
    output->failed =
        output->failed || !(*output->sink)(std::span(data, static_cast<size_t>(count)));
  } catch (...) {
    output->failed = true;
  }
  return output->failed ? 0 : count;
}

std::string GifErrorText(int error) {
  const char* text = GifErrorString(error);
  return text != nullptr ? text
                         : "GIF encoding failed (giflib error " + std::to_string(error) + ")";
}

// Owns giflib's encoder; closing it writes the trailer and frees it.
class CGifEncoder {
 public:
  explicit CGifEncoder(GifOutput& output) : m_gif(EGifOpen(&output, OnGifWrite, &m_openError)) {}
  ~CGifEncoder() {
    if (m_gif != nullptr) EGifCloseFile(m_gif, nullptr);
  }
  CGifEncoder(const CGifEncoder&) = delete;
  CGifEncoder& operator=(const CGifEncoder&) = delete;

  GifFileType* Get() const { return m_gif; }
  int GetOpenError() const { return m_openError; }
  /// Writes the trailer; false with giflib's text when that fails.
  bool Close(std::string& message) {
    int error = E_GIF_SUCCEEDED;
    GifFileType* gif = m_gif;
    m_gif = nullptr;
    if (EGifCloseFile(gif, &error) == GIF_OK) return true;
    message = GifErrorText(error);
    return false;
  }

 private:
  int m_openError = E_GIF_SUCCEEDED;
  GifFileType* m_gif = nullptr;
};

// Owns a giflib colour table made from a palette, padded with black to a
// power of two: GIF has no other table sizes.
class CGifColourMap {
 public:
  explicit CGifColourMap(std::span<const Rgba8> palette) {
    int size = 2;
    while (static_cast<size_t>(size) < palette.size()) size *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
    for (size_t i = 0; i < palette.size(); ++i)
      colours[i] = {palette[i].r, palette[i].g, palette[i].b};
    m_map = GifMakeMapObject(size, colours.data());
  }
  ~CGifColourMap() { GifFreeMapObject(m_map); }
  CGifColourMap(const CGifColourMap&) = delete;
  CGifColourMap& operator=(const CGifColourMap&) = delete;

  const ColorMapObject* Get() const { return m_map; }

 private:
  ColorMapObject* m_map = nullptr;
};

// The index each palette index is written as, and the frame's transparent
// index: every entry below the opaque threshold is written as the first of
// them.
struct CFrameColours {
  int transparent = NO_TRANSPARENT_COLOR;
  std::array<GifPixelType, kMaxGifColours> written{};
};

CFrameColours MakeFrameColours(std::span<const Rgba8> palette) {
  CFrameColours colours;
  for (size_t i = 0; i < colours.written.size(); ++i) {
    colours.written[i] = static_cast<GifPixelType>(i);
    if (i >= palette.size() || palette[i].a >= kOpaqueThreshold) continue;
    if (colours.transparent == NO_TRANSPARENT_COLOR) colours.transparent = static_cast<int>(i);
    colours.written[i] = static_cast<GifPixelType>(colours.transparent);
  }
  return colours;
}

bool HaveOnePalette(std::span<const CGifFrame> frames) {
  return std::all_of(frames.begin(), frames.end(), [&](const CGifFrame& frame) {
    return std::ranges::equal(frame.image.palette, frames.front().image.palette);
  });
}

bool CheckFrames(std::span<const CGifFrame> frames, uint32_t scale, std::string& message) {
  if (frames.empty()) {
    message = "no frames to write";
    return false;
  }
  if (scale == 0 || scale > kMaxGifSide) {
    message = "scale " + std::to_string(scale) + " is not 1 to " + std::to_string(kMaxGifSide);
    return false;
  }
  for (size_t i = 0; i < frames.size(); ++i) {
    const CIndexedImageView& image = frames[i].image;
    bool fits = CheckIndexedImage(image, kMaxGifSide, kMaxGifColours, message);
    if (fits && uint64_t{std::max(image.width, image.height)} * scale > kMaxGifSide) {
      fits = false;
      message = std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels at scale " + std::to_string(scale) + " are more than " +
                std::to_string(kMaxGifSide) + " a side";
    }
    if (!fits) {
      message = "frame " + std::to_string(i) + ": " + message;
      return false;
    }
    if (frames[i].delay >= 0) continue;
    message = "frame " + std::to_string(i) + ": negative delay";
    return false;
  }
  return true;
}

// NETSCAPE2.0 with loop count 0: browsers repeat the animation forever.
bool PutLoopForever(GifFileType* gif) {
  static constexpr char kApplication[] = "NETSCAPE2.0";
  static constexpr std::array<GifByteType, 3> kLoopForever = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof(kApplication) - 1, kApplication) == GIF_OK &&
         EGifPutExtensionBlock(gif, kLoopForever.size(), kLoopForever.data()) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

// One GIF frame of `image`, each pixel `scale` × `scale` GIF pixels: its
// control block, its descriptor and its rows.
bool PutPicture(GifFileType* gif, const CIndexedImageView& image, uint32_t scale,
                const CFrameColours& colours, const ColorMapObject* localMap, int delay,
                std::vector<GifPixelType>& row) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_BACKGROUND;
  control.UserInputFlag = false;
  control.DelayTime = delay;
  control.TransparentColor = colours.transparent;
  std::array<GifByteType, 4> extension{};
  EGifGCBToExtension(&control, extension.data());
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, extension.size(), extension.data()) != GIF_OK)
    return false;
  const auto width = static_cast<int>(image.width * scale);
  const auto height = static_cast<int>(image.height * scale);
  if (EGifPutImageDesc(gif, 0, 0, width, height, false, localMap) != GIF_OK) return false;
  // Each row is widened once and put as often as it is tall: a scaled
  // picture costs one row of memory, not its area.
  for (size_t y = 0; y < image.height; ++y) {
    const uint8_t* indices = image.indices.data() + y * image.width;
    for (size_t x = 0; x < image.width; ++x)
      std::fill_n(row.begin() + static_cast<ptrdiff_t>(x * scale), scale,
                  colours.written[indices[x]]);
    for (uint32_t copy = 0; copy < scale; ++copy)
      if (EGifPutLine(gif, row.data(), width) != GIF_OK) return false;
  }
  return true;
}

// A frame, split into copies of its picture when its delay is too long for
// one GIF frame; the copies' delays differ by at most one hundredth.
bool PutFrame(GifFileType* gif, const CGifFrame& frame, uint32_t scale, bool localTable,
              std::vector<GifPixelType>& row) {
  const CFrameColours colours = MakeFrameColours(frame.image.palette);
  std::optional<CGifColourMap> localMap;
  if (localTable) {
    localMap.emplace(frame.image.palette);
    if (localMap->Get() == nullptr) {
      gif->Error = E_GIF_ERR_NOT_ENOUGH_MEM;
      return false;
    }
  }
  const int64_t parts = std::max<int64_t>(1, (frame.delay + kMaxGifDelay - 1) / kMaxGifDelay);
  for (int64_t part = 0; part < parts; ++part) {
    const int64_t delay = frame.delay / parts + (part < frame.delay % parts ? 1 : 0);
    if (!PutPicture(gif, frame.image, scale, colours, localTable ? localMap->Get() : nullptr,
                    static_cast<int>(delay), row))
      return false;
  }
  return true;
}

// The screen, the loop and every frame; false at the first failure, whose
// giflib code is then in gif->Error.
bool PutAnimation(GifFileType* gif, std::span<const CGifFrame> frames, uint32_t scale) {
  uint32_t width = 0;
  uint32_t height = 0;
  for (const CGifFrame& frame : frames) {
    width = std::max(width, frame.image.width * scale);
    height = std::max(height, frame.image.height * scale);
  }
  const bool onePalette = HaveOnePalette(frames);
  std::optional<CGifColourMap> globalMap;
  if (onePalette) {
    globalMap.emplace(frames.front().image.palette);
    if (globalMap->Get() == nullptr) {
      gif->Error = E_GIF_ERR_NOT_ENOUGH_MEM;
      return false;
    }
  }
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, static_cast<int>(width), static_cast<int>(height), kColourResolution,
                        0, onePalette ? globalMap->Get() : nullptr) != GIF_OK)
    return false;
  if (!PutLoopForever(gif)) return false;
  std::vector<GifPixelType> row(width);
  for (const CGifFrame& frame : frames)
    if (!PutFrame(gif, frame, scale, !onePalette, row)) return false;
  return true;
}

bool Encode(std::span<const CGifFrame> frames, uint32_t scale, GifOutput& output,
            std::string& message) {
  CGifEncoder encoder(output);
  GifFileType* gif = encoder.Get();
  if (gif == nullptr) {
    message = GifErrorText(encoder.GetOpenError());
    return false;
  }
  // A refused piece is the sink's to name.
  if (!PutAnimation(gif, frames, scale)) {
    message = output.failed ? std::string() : GifErrorText(gif->Error);
    return false;
  }
  const bool closed = encoder.Close(message);
  if (output.failed) message.clear();
  return closed && !output.failed;
}

}  // namespace

bool WriteGif(std::span<const CGifFrame> frames, uint32_t scale, const GifSink& sink,
              std::string& message) {
  if (!CheckFrames(frames, scale, message)) return false;
  GifOutput output;
  output.sink = &sink;
  try {
    return Encode(frames, scale, output, message);
  } catch (const std::bad_alloc&) {
    message = "out of memory";
    return false;
  }
}
