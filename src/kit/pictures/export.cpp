#include "kit/pictures/export.h"

#include <vector>

#include "image/png_writer.h"
#include "kit/common/diagnostics.h"
#include "kit/common/image_outputs.h"
#include "kit/common/picture_png.h"
#include "kit/common/regular_file.h"
#include "kit/common/staged_files.h"

int RunExport(const ExportOptions& options) {
  CStagedFiles files({options.image, options.palette});
  if (!files.Plan({options.output}) || !CheckImageName(options.output, "png", "a PNG") ||
      !CheckPngOverwrite(options.output, options.force, true))
    return 1;
  if (!CheckRegularFile(options.image, "a TMF file") ||
      !CheckRegularFile(options.palette, "a TLF file"))
    return 1;
  std::vector<uint8_t> png;
  if (!EncodePicturePng(options.image, options.palette, png)) return 1;
  const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
  return files.Stage(options.output, bytes) && files.Commit() ? 0 : 1;
}
