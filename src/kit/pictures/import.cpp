#include "kit/pictures/import.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <utility>

#include "image/palette_builder.h"
#include "image/png_reader.h"
#include "kit/common/art_record.h"
#include "kit/common/diagnostics.h"
#include "kit/common/image_outputs.h"
#include "kit/common/progress.h"
#include "kit/common/regular_file.h"
#include "kit/common/staged_files.h"
#include "kit/pictures/import_project.h"
#include "path/file_system.h"
#include "texture/texture_format.h"
#include "texture/tlf_palette.h"

namespace fs = std::filesystem;

namespace {

// The entries of `colours`, a PNG palette, in `type`; false after naming
// the first colour the type cannot hold.
bool ConvertPalette(const std::string& path, const std::vector<Rgba8>& colours, PaletteType type,
                    std::vector<uint16_t>& entries) {
  for (size_t i = 0; i < colours.size(); ++i) {
    uint16_t entry = 0;
    if (!ToPaletteEntry(colours[i], type, entry))
      return ReportKitError(path, "palette entry " + std::to_string(i) + " is " +
                                      ColourName(colours[i]) + ", not grey");
    entries.push_back(entry);
  }
  return true;
}

}  // namespace

bool CImporter::ToEntry(const std::string& path, Rgba8 colour, uint32_t x, uint32_t y,
                        uint16_t& entry) {
  if (ToPixelEntry(colour, m_type, entry)) return true;
  return ReportKitError(path, PixelName(x, y) + " is " + ColourName(colour) +
                                  ", not grey: an intensity/alpha palette holds greys only");
}

CImporter::CImporter(const ImportOptions& options) : m_options(options) {}

bool CImporter::ReadImposedPalette() {
  m_type = m_options.ia16 ? PaletteType::kIa16 : PaletteType::kRgba5551;
  if (m_options.palette.empty()) return true;
  const std::string& path = m_options.palette;
  const bool tlf = fs::path(path).extension() == ".tlf";
  if (!CheckRegularFile(path, tlf ? "a TLF palette" : "a PNG file")) return false;
  std::vector<uint16_t> entries;
  if (tlf) {
    CTlfPalette palette;
    if (!palette.Load(path, ReportLoaderError)) return false;
    // The palette's own type decides how colours are matched against it.
    m_type = static_cast<PaletteType>(palette.GetType());
    if (m_options.ia16 && m_type != PaletteType::kIa16)
      return ReportKitError(path, "is an RGBA 5551 palette, but --ia16 asks for intensity/alpha");
    entries = palette.GetEntries();
  } else {
    // Only the palette is wanted: the pixels are never read.
    std::ifstream in(ToNativePath(path), std::ios::binary);
    if (!in.is_open()) return ReportKitError(path, "cannot open the file");
    CPngReader png(in);
    std::string message;
    if (!png.ReadHeader(std::numeric_limits<uint64_t>::max(), message))
      return ReportKitError(path, message);
    if (!png.GetHeader().indexed)
      return ReportKitError(path, "holds no palette: give a TLF file or an indexed PNG");
    if (!ConvertPalette(path, png.GetHeader().palette, m_type, entries)) return false;
  }
  m_imposedCount = static_cast<int>(entries.size());
  m_imposed.emplace(kCountAll);
  m_imposed->AppendImposed(entries, m_type);
  return true;
}

bool CImporter::KeepIndexedRow(const std::string& path, const CPngReader& png, uint32_t y,
                               std::span<uint8_t> out) {
  const std::span<const uint8_t> indices = png.GetIndices();
  const size_t entries = png.GetHeader().palette.size();
  for (uint32_t x = 0; x < indices.size(); ++x) {
    if (indices[x] >= entries)
      return ReportKitError(path, PixelName(x, y) + " has index " + std::to_string(indices[x]) +
                                      " beyond its palette of " + std::to_string(entries) +
                                      " entries");
  }
  std::ranges::copy(indices, out.begin());
  return true;
}

bool CImporter::ColourRow(const std::string& path, const CPngReader& png, uint32_t y,
                          CPaletteBuilder& palette, bool grows, std::span<uint8_t> out) {
  const CPngHeader& header = png.GetHeader();
  const std::span<const uint8_t> indices = png.GetIndices();
  const std::span<const Rgba8> colours = png.GetColours();
  for (uint32_t x = 0; x < header.width; ++x) {
    Rgba8 colour;
    if (header.indexed) {
      const uint8_t index = indices[x];
      if (index >= header.palette.size())
        return ReportKitError(
            path, PixelName(x, y) + " has index " + std::to_string(index) + " beyond its palette");
      colour = header.palette[index];
    } else {
      colour = colours[x];
    }
    uint16_t entry = 0;
    if (!ToEntry(path, colour, x, y, entry)) return false;
    const int index = grows ? palette.IndexOf(entry) : palette.FindFirst(entry);
    if (index < 0)
      return ReportKitError(
          path, PixelName(x, y) + " is " + ColourName(colour) + ", which the palette " +
                    (m_imposed ? m_options.palette : m_options.shared) + " does not hold");
    if (out.empty()) continue;
    // Past 256 colours the picture is refused later; the count goes on.
    out[x] = static_cast<uint8_t>(index);
    if (m_imposed) m_imposedUse = std::max(m_imposedUse, index + 1);
  }
  return true;
}

bool CImporter::Read(const std::string& path, bool survey, CImported& picture) {
  if (!CheckRegularFile(path, "a PNG file")) return false;
  std::ifstream in(ToNativePath(path), std::ios::binary);
  if (!in.is_open()) return ReportKitError(path, "cannot open the file");
  CPngReader png(in);
  if (!ReadImportHeader(path, png)) return false;
  const CPngHeader& header = png.GetHeader();
  std::string message;
  const bool ownPalette = !m_imposed && m_options.shared.empty();
  const bool keepIndexed = header.indexed && ownPalette;
  if (keepIndexed && !ConvertPalette(path, header.palette, m_type, picture.entries)) return false;
  CPaletteBuilder own(kCountAll);
  CPaletteBuilder& palette = m_imposed ? *m_imposed : ownPalette ? own : m_shared;
  // A palette of the picture's own, or a shared one in its survey, takes
  // every new colour; an imposed one, or a shared one after its survey,
  // is complete and only looks colours up.
  const bool grows = ownPalette || survey;
  picture.width = header.width;
  picture.height = header.height;
  if (!survey) picture.indices.resize(size_t{header.width} * header.height);
  for (uint32_t y = 0; y < header.height; ++y) {
    if (!png.ReadRow(message)) return ReportKitError(path, message);
    std::span<uint8_t> out;
    if (!survey) out = std::span(picture.indices).subspan(size_t{y} * header.width, header.width);
    const bool converted = keepIndexed ? KeepIndexedRow(path, png, y, out)
                                       : ColourRow(path, png, y, palette, grows, out);
    if (!converted) return false;
  }
  if (!png.ReadEnd(message)) return ReportKitError(path, message);
  if (keepIndexed) {
    picture.colourCount = static_cast<int>(header.palette.size());
  } else if (ownPalette) {
    // What nobody sees goes first; past 256 colours the picture is refused
    // and its indices mean nothing.
    const std::vector<int> moves = own.PutHiddenFirst();
    if (!moves.empty() && own.GetCount() <= 256)
      for (uint8_t& index : picture.indices) index = static_cast<uint8_t>(moves[index]);
    picture.entries = own.GetEntries();
    picture.colourCount = own.GetCount();
  }
  return true;
}

bool CImporter::ChooseBits(const std::string& path, int count, int used, int& bits) const {
  bits = m_options.bits != 0 ? m_options.bits : count <= 16 ? 4 : 8;
  const int limit = bits == 4 ? 16 : 256;
  if (used <= limit) return true;
  return ReportKitError(path, "has " + std::to_string(used) + " colours; " +
                                  (bits == 8 ? "an 8-bit" : "a 4-bit") + " image shows at most " +
                                  std::to_string(limit) +
                                  ": reduce its colours first (for example with pngquant)");
}

bool CImporter::PictureBits(const std::string& path, const CImported& picture, int& bits) const {
  // One depth for every picture of a shared or imposed palette.
  const int shared = m_shared.GetCount();
  if (!m_options.shared.empty()) return ChooseBits(m_options.shared, shared, shared, bits);
  if (m_imposed) return ChooseBits(m_options.palette, m_imposedCount, m_imposedUse, bits);
  return ChooseBits(path, picture.colourCount, picture.colourCount, bits);
}

bool CImporter::Survey(const std::string& path) {
  CImported picture;
  return Read(path, true, picture);
}

bool CImporter::Import(const std::string& path, CStagedFiles& files, bool record) {
  // The survey is over: the shared palette takes its final order.
  m_shared.PutHiddenFirst();
  CImported picture;
  int bits = 0;
  if (!Read(path, false, picture) || !PictureBits(path, picture, bits)) return false;
  std::string tmf = EncodeTmf(static_cast<int32_t>(picture.width),
                              static_cast<int32_t>(picture.height), bits, picture.indices);
  std::string art;
  if (record) {
    if (!ReadWholeFile(path, art)) return ReportKitError(path, "cannot be read again");
    PutTmfArtPrint(tmf, PrintBytes(art));
  }
  if (!files.Stage(ImportTarget(path, m_options.outDir, ".tmf"), tmf)) return false;
  if (!m_options.shared.empty()) return true;
  const std::vector<uint16_t>& entries = m_imposed ? m_imposed->GetEntries() : picture.entries;
  return files.Stage(ImportTarget(path, m_options.outDir, ".tlf"),
                     EncodeTlf(static_cast<uint32_t>(m_type), entries, bits));
}

bool CImporter::Finish(CStagedFiles& files) {
  if (m_options.shared.empty()) return true;
  m_shared.PutHiddenFirst();
  int bits = 0;
  const int count = m_shared.GetCount();
  if (!ChooseBits(m_options.shared, count, count, bits)) return false;
  return files.Stage(m_options.shared,
                     EncodeTlf(static_cast<uint32_t>(m_type), m_shared.GetEntries(), bits));
}

std::vector<std::string> CImporter::Inputs() const {
  std::vector<std::string> inputs = m_options.pictures;
  if (!m_options.palette.empty()) inputs.push_back(m_options.palette);
  return inputs;
}

int CImporter::GetSharedColourCount() const { return m_shared.GetCount(); }

std::vector<std::string> CImporter::Targets() const {
  std::vector<std::string> targets;
  for (const std::string& picture : m_options.pictures) {
    targets.push_back(ImportTarget(picture, m_options.outDir, ".tmf"));
    if (m_options.shared.empty())
      targets.push_back(ImportTarget(picture, m_options.outDir, ".tlf"));
  }
  if (!m_options.shared.empty()) targets.push_back(m_options.shared);
  return targets;
}

bool ReadImportHeader(const std::string& path, CPngReader& png, const CKitReporter& reporter) {
  std::string message;
  if (!png.ReadHeader(kMaxImportPixels, message)) return reporter.Error(path, message);
  const CPngHeader& header = png.GetHeader();
  if (header.width <= static_cast<uint32_t>(kTmfMaxSide) &&
      header.height <= static_cast<uint32_t>(kTmfMaxSide))
    return true;
  return reporter.Error(path, "is " + std::to_string(header.width) + " x " +
                                 std::to_string(header.height) +
                                 " pixels, larger than a TMF image may be (65536 a side)");
}

std::string ImportTarget(const std::string& picture, const std::string& outDir,
                         const char* extension) {
  fs::path target(ToNativePath(picture));
  target.replace_extension(extension);
  if (!outDir.empty()) target = fs::path(ToNativePath(outDir)) / target.filename();
  return target.lexically_normal().string();
}

int RunImport(const ImportOptions& options) {
  CProjectImports projects(options);
  const ImportOptions& plain = projects.GetPlain();
  CImporter importer(plain);
  std::vector<std::string> inputs = importer.Inputs();
  for (const std::string& input : projects.Inputs()) inputs.push_back(input);
  CStagedFiles files(inputs);
  if (!files.Plan(importer.Targets())) return 1;
  // The shared palette is the one target named by hand: `--shared art.png`
  // must not put a palette where a picture is.
  if (!options.shared.empty() && (!CheckImageName(options.shared, "tlf", "the shared palette") ||
                                  !CheckPngOverwrite(options.shared, false, false)))
    return 1;
  if (!importer.ReadImposedPalette()) return 1;
  // A shared palette is complete only when every picture has shown its
  // colours: the pictures are read twice, rather than all held at once.
  const bool shared = !options.shared.empty();
  CProgress progress("import", plain.pictures.size() * (shared ? 2 : 1));
  if (shared) {
    for (const std::string& picture : plain.pictures) {
      progress.Step(picture);
      if (!importer.Survey(picture)) return 1;
    }
  }
  if (!options.outDir.empty() && !files.MakeFolders(options.outDir)) return 1;
  for (const std::string& picture : plain.pictures) {
    progress.Step(picture);
    if (!importer.Import(picture, files, projects.IsRecorded(picture))) return 1;
  }
  if (!projects.Import(files) || !importer.Finish(files) || !files.Commit()) return 1;
  projects.Tell();
  return 0;
}
