#include "kit/pictures/sheet_image.h"

#include <filesystem>
#include <fstream>
#include <span>
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
  std::ifstream in(ToNativePath(path), std::ios::binary);
  if (!in.is_open()) {
    message = "cannot open the file";
    return false;
  }
  CPngReader reader(in);
  if (!reader.ReadHeader(kMaxSheetPixels, message)) return false;
  const CPngHeader& header = reader.GetHeader();
  std::vector<Rgba8> pixels;
  pixels.reserve(size_t{header.width} * header.height);
  for (uint32_t y = 0; y < header.height; ++y) {
    if (!reader.ReadRow(message)) return false;
    if (!header.indexed) {
      const std::span<const Rgba8> row = reader.GetColours();
      pixels.insert(pixels.end(), row.begin(), row.end());
      continue;
    }
    const std::span<const uint8_t> row = reader.GetIndices();
    for (uint32_t x = 0; x < row.size(); ++x) {
      if (row[x] >= header.palette.size()) {
        message = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") has index " +
                  std::to_string(row[x]) + " beyond its palette of " +
                  std::to_string(header.palette.size()) + " entries";
        return false;
      }
      pixels.push_back(header.palette[row[x]]);
    }
  }
  if (!reader.ReadEnd(message)) return false;
  *this = CSheetImage(header.width, header.height, std::move(pixels));
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
