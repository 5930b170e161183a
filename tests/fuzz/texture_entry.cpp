// TMF and TLF files from arbitrary bytes: a load either fails cleanly or
// gives an object whose C text can be written.
#include <string>

#include "fuzz_entries.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

using fuzz_support::Require;

int FuzzTmf(const uint8_t* data, size_t size) {
  fuzz_support::ScratchDir dir;
  fuzz_support::QuietConsole quiet;
  dir.Write("a.tmf", fuzz_support::AsText(data, size));

  CTmfImage image;
  if (!image.Load("a.tmf", kIgnoreLoadErrors)) {
    Require(image.GetWidth() == 0 && image.GetHeight() == 0, "a failed load leaves no image");
    Require(image.MakeExportBytes().empty(), "a failed load exports nothing");
    return 0;
  }
  std::string defText;
  image.WriteStruct(defText, "tmf");
  Require(defText.size() >= image.MakeExportBytes().size() * 11 / 4,
          "every exported byte is written");
  return 0;
}

int FuzzTlf(const uint8_t* data, size_t size) {
  fuzz_support::ScratchDir dir;
  fuzz_support::QuietConsole quiet;
  dir.Write("a.tlf", fuzz_support::AsText(data, size));

  CTlfPalette palette;
  const bool loaded = palette.Load("a.tlf", kIgnoreLoadErrors);
  Require(palette.GetEntryCount() >= 0 &&
              palette.GetEntries().size() == static_cast<size_t>(palette.GetEntryCount()),
          "entry count matches the entries held");
  if (!loaded) return 0;
  std::string defText;
  palette.WriteData(defText, "tlf");
  Require(defText.size() >= palette.GetEntries().size() * 7, "every entry is written");
  return 0;
}
