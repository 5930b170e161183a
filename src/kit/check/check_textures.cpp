// The rules of the binary files: every error the TMF and TLF loaders show,
// what a TMF body held, the 512 KiB a C array holds, and whether a picture's
// image and palette go together. A file's own problems are said once, at
// the file; a picture's pairing at its line in the project.
#include <algorithm>
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

// The first pixel of the rows the C array holds whose index is `limit` or
// more, and how many there are.
struct CIndexBeyond {
  uint32_t x = 0;
  uint32_t y = 0;
  int index = 0;
  int64_t count = 0;

  // "pixel (3, 0) has index 20", " (4 pixels in all)"
  std::string Say() const { return PixelName(x, y) + " has index " + std::to_string(index); }
  std::string Many() const {
    return count > 1 ? " (" + std::to_string(count) + " pixels in all)" : "";
  }
};

CIndexBeyond FindIndexBeyond(const CTmfImage& image, int32_t limit) {
  CIndexBeyond beyond;
  // Only the rows the C array holds can show: the bottom ones.
  for (int32_t y = image.GetHeight() - image.GetExportRows(); y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      const int index = image.GetIndex(x, y);
      if (index < limit || beyond.count++ != 0) continue;
      beyond.x = static_cast<uint32_t>(x);
      beyond.y = static_cast<uint32_t>(y);
      beyond.index = index;
    }
  }
  return beyond;
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
                      const CCheckedFile& paletteFile, bool shared) {
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
  // An image of B bits cannot index past 2^B entries.
  const int32_t reach = 1 << bits;
  const CIndexBeyond past = entries < reach ? FindIndexBeyond(image, entries) : CIndexBeyond{};
  if (past.count != 0) {
    c.report.Error(imageFile.shown, 0,
                   past.Say() + ", past the " + std::to_string(entries) + " entries of " +
                       paletteFile.shown + past.Many() +
                       ": the C keeps the index, and the target reads past the palette");
    return;
  }
  // The entries the palette fills: those up to its last that is not
  // 0x0000. The kit fills a palette up to 16 or 256 with 0x0000, and one it
  // builds keeps at most one 0x0000 of its own, at index 0: an index into
  // the filling is one into another palette (an image imported with a
  // palette of its own, paired with a shared one).
  const std::vector<uint16_t>& held = paletteFile.palette->GetEntries();
  int32_t filled = std::max<int32_t>(entries, 1);
  while (filled > 1 && held[static_cast<size_t>(filled) - 1] == 0) --filled;
  const CIndexBeyond filling = filled < reach ? FindIndexBeyond(image, filled) : CIndexBeyond{};
  if (filling.count == 0) return;
  c.report.Add(shared ? CCheckReport::Severity::kError : CCheckReport::Severity::kWarning, tpf,
               line,
               "picture " + picture + ": " + imageFile.shown + " " + filling.Say() +
                   ", past the " + std::to_string(filled) + " colours of " + paletteFile.shown +
                   filling.Many() +
                   ", in the 0x0000 entries that only fill it up: it shows transparent; was " +
                   imageFile.shown + " made with another palette?");
}
