#include "kit/pictures/sheet_image.h"

#include <filesystem>
#include <utility>

#include "image/png_reader.h"
#include "path/file_system.h"

namespace fs = std::filesystem;

CSheetImage::CSheetImage(uint32_t width, uint32_t height, std::vector<Rgba8> pixels) {
  if (pixels.size() != uint64_t{width} * height) return;
  m_width = width;
  m_height = height;
  m_pixels = std::move(pixels);
}

bool CSheetImage::Load(const std::string& path, std::string& message) {
  *this = CSheetImage();
  CPngPicture png;
  if (!ReadPngFile(ToNativePath(path), png, message)) return false;
  if (png.indexed) {
    png.pixels.reserve(png.indices.size());
    for (size_t at = 0; at < png.indices.size(); ++at) {
      const uint8_t index = png.indices[at];
      if (index >= png.palette.size()) {
        message = "pixel (" + std::to_string(at % png.width) + ", " +
                  std::to_string(at / png.width) + ") has index " + std::to_string(index) +
                  " beyond its palette of " + std::to_string(png.palette.size()) + " entries";
        return false;
      }
      png.pixels.push_back(png.palette[index]);
    }
  }
  *this = CSheetImage(png.width, png.height, std::move(png.pixels));
  return true;
}

std::string SheetImagePath(const CSheetDescription& sheet) {
  const fs::path json(ToNativePath(sheet.source));
  return (json.parent_path() / fs::path(ToNativePath(sheet.image))).lexically_normal().string();
}

bool LoadSheetImage(const CSheetDescription& sheet, CSheetImage& image, CSheetFailure& failure) {
  image = CSheetImage();
  const std::string path = SheetImagePath(sheet);
  if (!GetFileStatus(path).exists) {
    failure = {sheet.source, "meta.image names " + sheet.image + ", which is missing: " + path};
    return false;
  }
  std::string message;
  if (!image.Load(path, message)) {
    failure = {path, message};
    return false;
  }
  const bool sized = sheet.width != 0;
  if (sized && (image.GetWidth() != sheet.width || image.GetHeight() != sheet.height)) {
    failure = {sheet.source, "meta.size is " + SizeText(sheet.width, sheet.height) + ", but " +
                                 path + " is " + SizeText(image.GetWidth(), image.GetHeight())};
    image = CSheetImage();
    return false;
  }
  if (CheckFramesOnSheet(sheet, image.GetWidth(), image.GetHeight(), failure)) return true;
  image = CSheetImage();
  return false;
}
