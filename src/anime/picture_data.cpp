// The C data of one TMF or TLF file: loaded through its loader, which shows
// its own error box, and written into the C output.
#include <string>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

bool CAnimeFile::WriteTextureData(CCOutput& out, const std::string& tmfPath,
                                  const std::string& name) {
  CTmfImage image;
  if (!image.Load(tmfPath)) return ReportErrorUnended("Cannot open [" + tmfPath + "] \n");
  std::string defText;
  image.WriteStruct(defText, name);
  out.Line("");
  out.Line("");
  out.Block(defText);
  return true;
}

bool CAnimeFile::WritePaletteData(CCOutput& out, const std::string& tlfPath,
                                  const std::string& name) {
  CTlfPalette palette;
  if (!palette.Load(tlfPath)) return ReportErrorUnended("[" + tlfPath + "] can not open\n");
  std::string defText;
  palette.WriteData(defText, name);
  out.Line("");
  out.Block(defText);
  return true;
}
