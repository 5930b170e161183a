// flipdeck-kit export: a TMF image with a TLF palette back to an indexed PNG.
#pragma once

#include <functional>
#include <string>

struct ExportOptions {
  std::string image;    // the TMF file
  std::string palette;  // the TLF file
  std::string output;   // the PNG file
  bool force = false;   // replace a PNG that exists
};

/// The export job: 0 when the PNG was written, 1 after the messages. A PNG
/// that exists already is replaced only with `force`: it may be the art the
/// image was made from, which the 5-bit colours of the image cannot give back.
int RunExport(const ExportOptions& options);
