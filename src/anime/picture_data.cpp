// The C data of one TMF or TLF file: loaded through its loader, which tells
// the description's reporter why it failed, and written into the C output. A small file is loaded
// once a run: the camera part writes the pictures of the sequence part
// again, and opening each of thousands of small files twice would cost more
// than writing them. A large file is read again instead: reading it costs
// about what its bytes cost, while keeping it would hold its memory for the
// whole run, though the camera part may show few of the pictures. Kept files
// take at most kMaxKeptBytes; past that a file is read again too.
#include <string>
#include <utility>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

namespace {

constexpr uint64_t kMaxKeptFileBytes = uint64_t{4} << 10;
constexpr uint64_t kMaxKeptBytes = uint64_t{16} << 20;

// The file at `path` from `kept`, or loaded by its loader (whose failure
// returns null after `report` heard why) and kept when it is small and
// `keptBytes` stays within kMaxKeptBytes. `owner` holds a file that is not
// kept.
template <class T, class Size>
const T* LoadOnce(std::map<std::string, std::unique_ptr<const T>>& kept, uint64_t& keptBytes,
                  const std::string& path, const LoadReporter& report, std::unique_ptr<T>& owner,
                  Size size) {
  if (const auto found = kept.find(path); found != kept.end()) return found->second.get();
  owner = std::make_unique<T>();
  if (!owner->Load(path, report)) return nullptr;
  const uint64_t bytes = size(*owner);
  if (bytes > kMaxKeptFileBytes || keptBytes + bytes > kMaxKeptBytes) return owner.get();
  keptBytes += bytes;
  return kept.emplace(path, std::move(owner)).first->second.get();
}

}  // namespace

bool CAnimeFile::WriteTextureData(CCOutput& out, const std::string& tmfPath,
                                  const std::string& name) {
  std::unique_ptr<CTmfImage> owner;
  const CTmfImage* image =
      LoadOnce(m_mapImages, m_nKeptBytes, tmfPath, m_report, owner,
               [](const CTmfImage& loaded) { return loaded.GetExportLength(); });
  if (image == nullptr) return ReportErrorUnended("Cannot open [" + tmfPath + "] \n");
  std::string defText;
  image->WriteStruct(defText, name);
  out.Line("");
  out.Line("");
  out.Block(defText);
  return true;
}

bool CAnimeFile::WritePaletteData(CCOutput& out, const std::string& tlfPath,
                                  const std::string& name) {
  std::unique_ptr<CTlfPalette> owner;
  const CTlfPalette* palette =
      LoadOnce(m_mapPalettes, m_nKeptBytes, tlfPath, m_report, owner,
               [](const CTlfPalette& loaded) { return loaded.GetEntries().size() * 2; });
  if (palette == nullptr) return ReportErrorUnended("[" + tlfPath + "] can not open\n");
  std::string defText;
  palette->WriteData(defText, name);
  out.Line("");
  out.Block(defText);
  return true;
}
