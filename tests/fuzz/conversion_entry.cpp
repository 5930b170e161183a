// A whole project from arbitrary bytes: the input is cut into a TAF, a TPF,
// a TMF and a TLF file that refer to each other by fixed names, and the
// conversion runs over them in a scratch directory.
#include <array>
#include <string>
#include <vector>

#include "anime/anime_file.h"
#include "anime/camera_grid.h"
#include "app/driver.h"
#include "fuzz_entries.h"

namespace {

// Whether the animation asks for a camera grid larger than a fuzz run
// should write out.
bool HasHugeGrid() {
  CAnimeFile anime(kIgnoreLoadErrors);
  CCameraGrid grid;
  if (!anime.Load("a.taf") || !ReadCameraGrid(anime, grid).key.empty()) return false;
  return int64_t{grid.sizeX} * grid.sizeY > kMaxFuzzCameraCells;
}

}  // namespace

int FuzzConversion(const uint8_t* data, size_t size) {
  static constexpr std::array<const char*, 4> kNames{"a.taf", "a.tpf", "a.tmf", "a.tlf"};
  const std::vector<std::string> pieces =
      fuzz_support::SplitAt(fuzz_support::AsText(data, size), kConversionSeparator);

  fuzz_support::ScratchDir dir;
  // Files the input does not reach stay missing: a missing project, image
  // or palette is bad input of its own.
  for (size_t i = 0; i < pieces.size() && i < kNames.size(); ++i) dir.Write(kNames[i], pieces[i]);

  if (HasHugeGrid()) return 0;
  bool converted = false;
  {
    fuzz_support::QuietConsole quiet;
    converted = RunConversion("a.taf", "out.c", "out.h", true);
  }

  for (size_t i = 0; i < pieces.size() && i < kNames.size(); ++i)
    fuzz_support::Require(dir.Read(kNames[i]) == pieces[i], "a conversion never changes an input");
  if (converted) fuzz_support::Require(!dir.Read("out.c").empty(), "a conversion writes C text");
  return 0;
}
