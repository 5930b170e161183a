// How fast the image and palette C text is made, against two yardsticks in
// the same run: a loop that formats the same values with snprintf (what the
// table-driven writer replaces) and a memcpy of the finished text (the
// floor no writer can beat).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "texture/texture_format.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

namespace {

namespace fs = std::filesystem;

// A file that lives as long as the object, holding `bytes`.
class CScratchFile {
 public:
  CScratchFile(const std::string& name, const std::string& bytes)
      : m_path(fs::temp_directory_path() / name) {
    std::ofstream(m_path, std::ios::binary) << bytes;
  }
  ~CScratchFile() {
    std::error_code ec;
    fs::remove(m_path, ec);
  }
  CScratchFile(const CScratchFile&) = delete;
  CScratchFile& operator=(const CScratchFile&) = delete;
  std::string Path() const { return m_path.string(); }

 private:
  fs::path m_path;
};

// The benchmarks' files always load; a failure shows as a skipped benchmark.
const LoadReporter kNoReport = [](const std::string&, const std::string&) {};

// A 1024 x 512 8-bit image: 524288 bytes, exactly what one export holds.
bool LoadImage512K(CTmfImage& image) {
  std::string body(524288, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 131) >> 3);
  const CScratchFile file("flipdeck-bench-512k.tmf",
                          EncodeTmfFile({kTmfTag8Bit, 1024, 512, 8}, body));
  return image.Load(file.Path(), kNoReport);
}

std::string MakeStructText(const CTmfImage& image) {
  std::string def;
  image.WriteStruct(def, "tmf00");
  return def;
}

void BM_WriteStruct512K(benchmark::State& state) {
  CTmfImage image;
  if (!LoadImage512K(image)) return state.SkipWithError("cannot load the image");
  size_t produced = 0;
  for ([[maybe_unused]] auto&& iteration : state) {
    std::string def;
    image.WriteStruct(def, "tmf00");
    produced = def.size();
    benchmark::DoNotOptimize(def.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * produced));
}
BENCHMARK(BM_WriteStruct512K);

// The same 32-bit values, one snprintf("0x%08x,") each, into one reserved
// string: the straightforward way to write the array.
void BM_SnprintfReference512K(benchmark::State& state) {
  CTmfImage image;
  if (!LoadImage512K(image)) return state.SkipWithError("cannot load the image");
  const std::vector<uint8_t> bytes = image.MakeExportBytes();
  const size_t produced = MakeStructText(image).size();
  for ([[maybe_unused]] auto&& iteration : state) {
    std::string text;
    text.reserve(produced);
    char value[16];
    for (size_t offset = 0; offset < bytes.size(); offset += 4) {
      if (offset % 16 == 0) text += '\t';
      const uint32_t word = (static_cast<uint32_t>(bytes[offset]) << 24) |
                            (static_cast<uint32_t>(bytes[offset + 1]) << 16) |
                            (static_cast<uint32_t>(bytes[offset + 2]) << 8) | bytes[offset + 3];
      const int length = std::snprintf(value, sizeof value, "0x%08x,", word);
      text.append(value, static_cast<size_t>(length));
      if (offset % 16 == 12) text += '\n';
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * produced));
}
BENCHMARK(BM_SnprintfReference512K);

void BM_MemcpyText512K(benchmark::State& state) {
  CTmfImage image;
  if (!LoadImage512K(image)) return state.SkipWithError("cannot load the image");
  const std::string text = MakeStructText(image);
  std::vector<char> copy(text.size());
  for ([[maybe_unused]] auto&& iteration : state) {
    std::memcpy(copy.data(), text.data(), text.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MemcpyText512K);

void BM_PaletteWriteData256(benchmark::State& state) {
  std::string body;
  for (uint32_t i = 0; i < 256; ++i) body += {static_cast<char>(i * 7), static_cast<char>(i)};
  const CScratchFile file("flipdeck-bench-256.tlf", EncodeTlfFile({kTlfTag256, 256, 0}, body));
  CTlfPalette palette;
  if (!palette.Load(file.Path(), kNoReport)) return state.SkipWithError("cannot load the palette");
  for ([[maybe_unused]] auto&& iteration : state) {
    std::string def;
    palette.WriteData(def, "tlf00");
    benchmark::DoNotOptimize(def.data());
  }
}
BENCHMARK(BM_PaletteWriteData256);

}  // namespace

BENCHMARK_MAIN();
