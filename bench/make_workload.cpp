// make_workload: writes the animations that the whole-process comparison
// converts, the same bytes on every run and every machine.
//
//   make_workload <dir>
//
// writes three self-contained animations, each in its own folder:
//   <dir>/w1        emission: 64 distinct 8-bit 512 x 512 pictures with
//                   random pixels, one 256-entry palette per 8 pictures,
//                   64 key frames each showing another picture, and a 4 x 4
//                   camera grid whose 16 cells show every fourth picture.
//   <dir>/w2_1000   scale: 100 small 4-bit pictures, 1,000 key frames
//   <dir>/w2_10000  cycling through them and a camera grid of about as many
//                   cells, all filled (16 x 8 x 8 = 1,024 and 16 x 25 x 25 = 10,000).
//   <dir>/grid      the largest camera grid, 4,096 x 4,096 positions, and
//                   no key: 100 MB of NULL entries for no picture at all.
//   <dir>/live      what watch is timed on: 32 key frames, each its own
//                   8-bit 64 x 64 picture, one palette, and a 4 x 4 camera
//                   grid of every other picture.
// Each folder holds anim.taf, pictures.tpf and the TMF and TLF files; run
// flipdeck inside it. Where the PNG writer is built, also
//   <dir>/sheet     a sprite sheet: sheet.png, 2,048 x 2,048 pixels in 1,024
//                   frames of 64 x 64, 32 a row, a quarter of them repeats of
//                   an earlier frame; each other frame's pixels half clear,
//                   half of 255 colours at random. sheet.json describes it
//                   (array layout, durations of 16, 17, 33 and 100 ms, four
//                   tags of 256 frames, one in each direction).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "texture/texture_format.h"
#ifdef FLIPDECK_WORKLOAD_SHEET
#include "image/png_writer.h"
#endif

namespace {

namespace fs = std::filesystem;

/// A fixed-seed xorshift generator: the workloads must not depend on the
/// standard library's engines or distributions, which vary by vendor.
class CXorShift {
 public:
  explicit CXorShift(uint64_t seed) : m_state(seed) {}
  uint64_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 7;
    m_state ^= m_state << 17;
    return m_state;
  }
  /// `count` random bytes.
  std::string Bytes(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; i += 8) {
      const uint64_t word = Next();
      for (size_t k = 0; k < 8 && i + k < count; ++k)
        bytes[i + k] = static_cast<char>(word >> (8 * k));
    }
    return bytes;
  }

 private:
  uint64_t m_state;
};

/// Writes `bytes` to `path`, replacing it. False after a message on stderr.
bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file) return true;
  std::fprintf(stderr, "make_workload: cannot write %s\n", path.string().c_str());
  return false;
}

/// A TMF file of `width` x `height` pixels of `bits` (4 or 8) in the packed
/// layout, random pixels, filled to a multiple of 4 bytes.
std::string MakeTmf(CXorShift& random, int32_t width, int32_t height, int32_t bits) {
  const uint64_t packed = TmfRowBytes(width, bits) * static_cast<uint64_t>(height);
  std::string body = random.Bytes(packed);
  body.resize((packed + 3) / 4 * 4, '\0');
  return EncodeTmfFile({TmfTagFor(bits), width, height, bits}, body);
}

/// A TLF file of 16 or 256 random 16-bit entries, type 0.
std::string MakeTlf(CXorShift& random, int32_t count) {
  return EncodeTlfFile({TlfTagFor(count), count, kTlfTypeRgba5551},
                       random.Bytes(static_cast<size_t>(count) * 2));
}

/// What one animation holds; the TAF and TPF text follow from it.
struct WorkloadShape {
  int32_t pictureCount;
  int32_t picturesPerPalette;
  int32_t width;
  int32_t height;
  int32_t bits;
  int32_t keyFrameCount;
  int32_t camCount;    // CAM_XZ_NUM = CAM_Y_NUM; the grid is 4 * camCount square
  int32_t cellStride;  // cell i shows picture cellStride * i, wrapped around
};

/// 7 -> "p007": names sort like their numbers in a directory listing.
std::string PictureName(int32_t picture) {
  std::string digits = std::to_string(picture);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return "p" + digits;
}

std::string MakeTpf(const WorkloadShape& shape) {
  std::string text =
      "# flipdeck benchmark pictures\nPICT_NUM = " + std::to_string(shape.pictureCount) + "\n";
  for (int32_t n = 0; n < shape.pictureCount; ++n) {
    const std::string name = PictureName(n);
    text += "PICT." + std::to_string(n) + " = " + name + "," + name + ".tmf,pal" +
            std::to_string(n / shape.picturesPerPalette) + ".tlf\n";
  }
  return text;
}

std::string MakeTaf(const WorkloadShape& shape) {
  // Ten frames per key frame: every record of the sequence gets 10.
  std::string text =
      "# flipdeck benchmark animation\nFRAME_ANIM = 1\nTPF.NUM = 1\nTPF.0.FILE = pictures.tpf\n";
  text += "FRAME_LENGTH = " + std::to_string(10 * shape.keyFrameCount) + "\n";
  text += "FRAME_KEY = " + std::to_string(shape.keyFrameCount) + "\n";
  for (int32_t k = 0; k < shape.keyFrameCount; ++k) {
    text += "FRAME_KEY" + std::to_string(k) + " = " + std::to_string(10 * k) + ",0," +
            PictureName(k % shape.pictureCount) + "\n";
  }
  const int32_t side = 4 * shape.camCount;
  text += "CAM_ANIM = 1\nCAM_XZ_NUM = " + std::to_string(shape.camCount) +
          "\nCAM_Y_NUM = " + std::to_string(shape.camCount) + "\n";
  for (int32_t cell = 0; cell < side * side; ++cell) {
    text += "CAM." + std::to_string(cell % side) + "." + std::to_string(cell / side) + " = 0," +
            PictureName(shape.cellStride * cell % shape.pictureCount) + "\n";
  }
  return text;
}

/// Writes one animation into `dir`. False after a message on stderr.
bool WriteWorkload(const fs::path& dir, const WorkloadShape& shape, uint64_t seed) {
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "make_workload: cannot create %s\n", dir.string().c_str());
    return false;
  }
  CXorShift random(seed);
  for (int32_t n = 0; n < shape.pictureCount; ++n) {
    const std::string tmf = MakeTmf(random, shape.width, shape.height, shape.bits);
    if (!WriteFile(dir / (PictureName(n) + ".tmf"), tmf)) return false;
  }
  const int32_t paletteCount =
      (shape.pictureCount + shape.picturesPerPalette - 1) / shape.picturesPerPalette;
  for (int32_t n = 0; n < paletteCount; ++n) {
    const std::string tlf = MakeTlf(random, shape.bits == 4 ? 16 : 256);
    if (!WriteFile(dir / ("pal" + std::to_string(n) + ".tlf"), tlf)) return false;
  }
  return WriteFile(dir / "pictures.tpf", MakeTpf(shape)) &&
         WriteFile(dir / "anim.taf", MakeTaf(shape));
}

WorkloadShape EmissionShape() {
  // Every key frame shows its own picture; the 16 cells show every fourth
  // one, so the camera part needs all 8 palettes as well.
  return {64, 8, 512, 512, 8, 64, 1, 4};
}

WorkloadShape LiveShape() { return {32, 32, 64, 64, 8, 32, 1, 2}; }

/// N key frames and a square grid of about N cells: 16 x count x count ~ N.
WorkloadShape ScaleShape(int32_t keyFrames) {
  const auto camCount = static_cast<int32_t>(std::lround(std::sqrt(keyFrames / 16.0)));
  return {100, 10, 32, 32, 4, keyFrames, camCount, 1};
}

#ifdef FLIPDECK_WORKLOAD_SHEET
/// The sprite sheet: its PNG, a palette picture whose index 0 is clear, and
/// its JSON. False after a message on stderr.
bool WriteSheet(const fs::path& dir, uint64_t seed) {
  constexpr uint32_t kCell = 64;
  constexpr uint32_t kColumns = 32;
  constexpr uint32_t kFrames = 1024;
  constexpr uint32_t kSide = kCell * kColumns;
  std::error_code error;
  fs::create_directories(dir, error);
  CXorShift random(seed);
  std::vector<Rgba8> palette(256);
  for (Rgba8& colour : palette) {
    const uint64_t bits = random.Next();
    colour = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
              static_cast<uint8_t>(bits >> 16), 255};
  }
  palette[0] = {};
  std::vector<uint8_t> indices(size_t{kSide} * kSide);
  const auto cell = [&](uint32_t frame, uint32_t x, uint32_t y) -> uint8_t& {
    return indices[(size_t{frame / kColumns} * kCell + y) * kSide + frame % kColumns * kCell + x];
  };
  std::string frames;
  const char* const durations[] = {"16", "17", "33", "100"};
  for (uint32_t frame = 0; frame < kFrames; ++frame) {
    // Every fourth frame repeats one of those before it.
    const bool repeat = frame % 4 == 3;
    const uint32_t from = repeat ? static_cast<uint32_t>(random.Next() % frame) : 0;
    for (uint32_t y = 0; y < kCell; ++y) {
      for (uint32_t x = 0; x < kCell; ++x) {
        const uint64_t bits = random.Next();
        cell(frame, x, y) =
            repeat ? cell(from, x, y) : (bits & 1) ? 0 : static_cast<uint8_t>(1 + bits % 255);
      }
    }
    frames += std::string(frame == 0 ? "" : ",\n  ") + "{\"filename\": \"f" +
              std::to_string(frame) + ".png\", \"frame\": {\"x\": " +
              std::to_string(frame % kColumns * kCell) +
              ", \"y\": " + std::to_string(frame / kColumns * kCell) +
              ", \"w\": 64, \"h\": 64}, \"duration\": " + durations[frame % 4] + "}";
  }
  std::vector<uint8_t> png;
  std::string message;
  if (!WriteIndexedPng({kSide, kSide, indices, palette}, 8, png, message)) {
    std::fprintf(stderr, "make_workload: the sheet: %s\n", message.c_str());
    return false;
  }
  const std::string tags =
      R"({"name": "walk", "from": 0, "to": 255, "direction": "forward"},)"
      R"({"name": "back", "from": 256, "to": 511, "direction": "reverse"},)"
      R"({"name": "bounce", "from": 512, "to": 767, "direction": "pingpong"},)"
      R"({"name": "return", "from": 768, "to": 1023, "direction": "pingpong_reverse"})";
  return WriteFile(dir / "sheet.png", std::string(png.begin(), png.end())) &&
         WriteFile(dir / "sheet.json",
                   "{\"frames\": [\n  " + frames +
                       "],\n\"meta\": {\"image\": \"sheet.png\", \"size\": {\"w\": 2048, "
                       "\"h\": 2048}, \"frameTags\": [" +
                       tags + "]}}\n");
}
#endif

}  // namespace

int main(int argc, char** argv) {
  // "--help" and the like get the usage, not a directory of that name.
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: make_workload <dir>\n");
    return 1;
  }
  const fs::path root = argv[1];
  std::error_code error;
  fs::create_directories(root / "grid", error);
  const bool written =
      WriteWorkload(root / "w1", EmissionShape(), 0x9e3779b97f4a7c15u) &&
      WriteWorkload(root / "w2_1000", ScaleShape(1000), 0x2545f4914f6cdd1du) &&
      WriteWorkload(root / "w2_10000", ScaleShape(10000), 0x2545f4914f6cdd1du) &&
      WriteFile(root / "grid/anim.taf", "CAM_ANIM = 1\nCAM_XZ_NUM = 1024\nCAM_Y_NUM = 1024\n") &&
      WriteWorkload(root / "live", LiveShape(), 0x3c6ef372fe94f82bu);
#ifdef FLIPDECK_WORKLOAD_SHEET
  return written && WriteSheet(root / "sheet", 0x853c49e6748fea9bu) ? 0 : 1;
#else
  return written ? 0 : 1;
#endif
}
