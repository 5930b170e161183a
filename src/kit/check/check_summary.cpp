// The --summary table: what the C holds for each picture and file. A file's
// data is written once by each part of the C that shows it, the sequence
// and the camera part, so its bytes count once per part.
#include <algorithm>
#include <ostream>

#include "kit/check/check_rules.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

// Columns padded to their widest cell, two blanks apart; the last unpadded.
void PrintTable(std::ostream& out, const Table& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
    }
    out << line << "\n";
  }
}

// The bytes a file's data takes in the C: the image array holds whole u32
// values, the palette two bytes an entry.
uint64_t DataBytes(const CCheckedFile& file) {
  if (file.image) return (file.image->GetExportLength() + 3) / 4 * 4;
  return 2 * static_cast<uint64_t>(file.palette->GetEntryCount());
}

std::string PartsText(const std::set<CWriterPart>& parts) {
  std::string text = std::to_string(parts.size()) + " (";
  if (parts.count(CWriterPart::kSequence) != 0) text += "sequence";
  if (parts.size() == 2) text += ", ";
  if (parts.count(CWriterPart::kCamera) != 0) text += "camera";
  return text + ")";
}

}  // namespace

void PrintSummary(const CCheckContext& c, std::ostream& out) {
  Table pictures = {{"picture", "project", "size", "depth", "image bytes"}};
  for (const auto& [id, picture] : c.pictures) {
    const auto found = c.files.find(picture.tmfPath);
    if (found == c.files.end() || !found->second.loaded) continue;
    const CTmfImage& image = *found->second.image;
    pictures.push_back(
        {picture.name, c.paths.Name(picture.project),
         std::to_string(image.GetWidth()) + " x " + std::to_string(image.GetHeight()),
         std::to_string(image.GetBitsPerPixel()) + "-bit",
         std::to_string(DataBytes(found->second))});
  }
  Table files = {{"file", "kind", "data bytes", "written", "bytes in the C"}};
  uint64_t total = 0;
  for (const auto& [path, file] : c.files) {
    if (!file.loaded) continue;
    const uint64_t bytes = DataBytes(file);
    total += bytes * file.parts.size();
    files.push_back({file.shown, file.image ? "image" : "palette", std::to_string(bytes),
                     PartsText(file.parts), std::to_string(bytes * file.parts.size())});
  }
  files.push_back({"total", "", "", "", std::to_string(total)});
  out << "\nPictures shown\n";
  PrintTable(out, pictures);
  out << "\nFiles the C holds\n";
  PrintTable(out, files);
}
