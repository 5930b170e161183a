#include "kit/export.h"

#include <CLI/CLI.hpp>

#include <vector>

#include "image/png_writer.h"
#include "kit/diagnostics.h"
#include "kit/image_outputs.h"
#include "kit/picture_png.h"
#include "kit/regular_file.h"
#include "kit/staged_files.h"

void AddExportCommand(CLI::App& app, ExportOptions& options, std::function<int()>& job) {
  CLI::App* command =
      app.add_subcommand("export", "Write a TMF image with its TLF palette as an indexed PNG");
  command->add_option("image", options.image, "the TMF image")->required();
  command->add_option("palette", options.palette, "the TLF palette")->required();
  command->add_option("-o,--output", options.output, "the PNG picture to write")->required();
  command->add_flag("--force", options.force, "replace a PNG picture that exists");
  command->callback([&options, &job] { job = [&options] { return RunExport(options); }; });
}

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
