#include "kit/common/image_outputs.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "kit/common/diagnostics.h"
#include "path/file_system.h"

namespace {

namespace fs = std::filesystem;

// Extensions of the pictures artists keep: their art in the common formats
// and editors, and flipdeck's own images and palettes.
constexpr std::array<std::string_view, 29> kImageExtensions = {
    "apng", "ase", "aseprite", "avif", "bmp", "dds",  "exr", "gif", "heic", "ico",
    "jpeg", "jpg", "jxl",      "kra",  "ora", "pbm",  "pcx", "pgm", "png",  "pnm",
    "ppm",  "psd", "qoi",      "tga",  "tif", "tiff", "tlf", "tmf", "webp"};

// Whether `path` begins with the eight bytes every PNG begins with.
bool HoldsPng(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(fs::path(ToNativePath(path)), error)) return false;
  static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
  std::array<char, 8> start{};
  std::ifstream in(ToNativePath(path), std::ios::binary);
  return in.read(start.data(), start.size()) && std::equal(start.begin(), start.end(), kSignature);
}

}  // namespace

std::string ImageExtension(const std::string& path) {
  std::string extension = fs::path(ToNativePath(path)).extension().string();
  if (extension.empty()) return "";
  extension.erase(0, 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  const bool image = std::find(kImageExtensions.begin(), kImageExtensions.end(), extension) !=
                     kImageExtensions.end();
  return image ? extension : "";
}

bool CheckImageName(const std::string& target, std::string_view own, std::string_view what) {
  const std::string named = ImageExtension(target);
  if (named.empty() || named == own) return true;
  return ReportKitError(target, "names a ." + named + " file, where " + std::string(what) +
                                    " would go: give a name ending in ." + std::string(own) +
                                    "; nothing written");
}

bool CheckPngOverwrite(const std::string& target, bool force, bool canForce) {
  if (force || !GetFileStatus(target).exists) return true;
  if (ImageExtension(target) != "png" && !HoldsPng(target)) return true;
  return ReportKitError(target,
                        std::string("holds a PNG picture, perhaps the only copy of its art: ") +
                            (canForce ? "give --force to replace it" : "give another name") +
                            "; nothing written");
}
