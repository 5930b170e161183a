// The generated C header: the definitions of struct qmTMF and struct qmTLF
// that the generated source's image and palette data rely on. Its text is
// the same on every run; nothing of the anime description goes into it.
#include <string>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "path/file_system.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

bool CAnimeFile::WriteHeader(const std::string& hPath, bool verbose) {
  RemoveOutputFile(hPath);
  if (verbose) {
    // No line end: the next console message opens with its own.
    ConsoleLineEnd();
    Console() << "Header file output ";
  }
  CCOutput out;
  if (hPath.empty() || !out.Open(m_outputs, hPath, CCOutput::Mode::kReplace))
    return ReportError(hPath + " can not open");

  WriteFileComment(out);
  out.Line("");
  out.Line("#ifndef  __FLIPDECKDATA__ ");
  out.Line("#define  __FLIPDECKDATA__ ");
  out.Line("");
  out.Line("/* Texture structure */");
  std::string tmfDef;
  out.Block(CTmfImage::AppendStructDef(tmfDef));
  out.Line("");
  out.Line("/* Palette structure */");
  std::string tlfDef;
  out.Block(CTlfPalette::AppendStructDef(tlfDef));
  out.Line("#endif // __FLIPDECKDATA__");
  // A header cut short by a full disk would break the build that includes
  // it much later; say so now instead of reporting success.
  return out.Close();
}
