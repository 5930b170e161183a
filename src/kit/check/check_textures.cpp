// The rules of the binary files: every error the TMF and TLF loaders show,
// what a TMF body held, the 512 KiB a C array holds, and whether a picture's
// image and palette go together. A file's own problems are said once, at
// the file; a picture's pairing at its line in the project.
#include <filesystem>
#include <system_error>

#include "kit/check/check_rules.h"
#include "kit/common/diagnostics.h"
#include "path/file_system.h"
#include "texture/texture_format.h"

namespace {

// A loader's message without the file name it opens with and its line end:
// "[a.tmf] file open failed.\n" -> "file open failed".
std::string LoaderText(std::string text, const std::string& path) {
  const std::string opening = "[" + path + "] ";
  if (text.starts_with(opening)) text.erase(0, opening.size());
  while (!text.empty() && (text.back() == '\n' || text.back() == '.')) text.pop_back();
  return text.empty() ? "cannot be loaded" : text;
}

std::string SizeText(int32_t width, int32_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

void CheckBody(CCheckContext& c, const CCheckedFile& file) {
  const CTmfImage& image = *file.image;
  const CTmfBody& body = image.GetBody();
  if (body.packed || body.length == CTmfBody::kUnknownLength) return;
  if (body.wholeRows < image.GetHeight()) {
    c.report.Warning(file.shown, 0,
                     "body holds " + std::to_string(body.wholeRows) + " of " +
                         std::to_string(image.GetHeight()) + " rows; the rest convert as zero");
    return;
  }
  if (body.length == body.paddedLength) return;
  const std::string lengths = body.packedLength == body.paddedLength
                                  ? std::to_string(body.packedLength)
                                  : std::to_string(body.packedLength) + " (packed) or " +
                                        std::to_string(body.paddedLength) + " (word-padded)";
  c.report.Warning(file.shown, 0,
                   "body is " + std::to_string(body.length) + " bytes where its rows take " +
                       lengths + ": flipdeck reads word-padded rows and ignores the rest");
}

// Loads `path` into `loaded` through flipdeck's loader; false after an
// error that gives the loader's words and `stop`, the line flipdeck stops with.
template <class T>
bool LoadChecked(CCheckContext& c, const std::string& path, CCheckedFile& file,
                 std::unique_ptr<T>& loaded, const std::string& stop) {
  file.shown = c.paths.Name(path);
  loaded = std::make_unique<T>();
  std::string loaderText;
  const auto capture = [&loaderText](const std::string&, const std::string& message) {
    loaderText += message;
  };
  if (!loaded->Load(path, capture)) {
    c.report.Error(file.shown, 0, LoaderText(loaderText, path) + ": flipdeck " + StopsWith(stop));
    return false;
  }
  file.loaded = true;
  return true;
}

}  // namespace

void CheckImageFile(CCheckContext& c, const std::string& path, CCheckedFile& file) {
  if (!LoadChecked(c, path, file, file.image, "Cannot open [" + path + "]")) return;
  CheckBody(c, file);
  const CTmfImage& image = *file.image;
  if (image.GetExportRows() < image.GetHeight())
    c.report.Error(file.shown, 0,
                   "its " + SizeText(image.GetWidth(), image.GetHeight()) + " pixels of " +
                       std::to_string(image.GetBitsPerPixel()) +
                       " bits pass the 512 KiB a C array holds: flipdeck writes only the bottom " +
                       std::to_string(image.GetExportRows()) + " rows, and the struct still says " +
                       std::to_string(image.GetHeight()));
}

void CheckPaletteFile(CCheckContext& c, const std::string& path, CCheckedFile& file) {
  if (!LoadChecked(c, path, file, file.palette, "[" + path + "] can not open")) return;
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(ToNativePath(path), error);
  const uint64_t used =
      kTextureHeaderSize + 2 * static_cast<uint64_t>(file.palette->GetEntryCount());
  if (!error && size > used)
    c.report.Warning(file.shown, 0,
                     "holds " + std::to_string(size - used) + " bytes past its " +
                         std::to_string(file.palette->GetEntryCount()) +
                         " entries: flipdeck ignores them");
}

void CheckPicturePair(CCheckContext& c, const std::string& tpf, int line,
                      const std::string& picture, const CCheckedFile& imageFile,
                      const CCheckedFile& paletteFile) {
  const CTmfImage& image = *imageFile.image;
  const int32_t bits = image.GetBitsPerPixel();
  const int32_t entries = paletteFile.palette->GetEntryCount();
  const int32_t wanted = bits == 4 ? 16 : 256;
  if (entries != wanted)
    c.report.Warning(tpf, line,
                     "picture " + picture + (bits == 8 ? " pairs an " : " pairs a ") +
                         std::to_string(bits) + "-bit image with " + paletteFile.shown +
                         ", a palette of " + std::to_string(entries) + " entries (" +
                         (bits == 8 ? "an " : "a ") + std::to_string(bits) + "-bit image takes " +
                         std::to_string(wanted) + "): flipdeck writes both as they are");
  if (entries >= (1 << bits)) return;
  // Only the rows the C array holds can show: the bottom ones.
  int64_t past = 0;
  int32_t firstX = 0;
  int32_t firstY = 0;
  int firstIndex = 0;
  for (int32_t y = image.GetHeight() - image.GetExportRows(); y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      const int index = image.GetIndex(x, y);
      if (index < entries) continue;
      if (past++ == 0) {
        firstX = x;
        firstY = y;
        firstIndex = index;
      }
    }
  }
  if (past == 0) return;
  c.report.Error(imageFile.shown, 0,
                 PixelName(static_cast<uint32_t>(firstX), static_cast<uint32_t>(firstY)) +
                     " has index " + std::to_string(firstIndex) + ", past the " +
                     std::to_string(entries) + " entries of " + paletteFile.shown +
                     (past > 1 ? " (" + std::to_string(past) + " pixels in all)" : "") +
                     ": the C keeps the index, and the target reads past the palette");
}
