#include "kit/import.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

#include "image/palette_builder.h"
#include "image/png_reader.h"
#include "kit/diagnostics.h"
#include "kit/progress.h"
#include "kit/staged_files.h"
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
  if (ToPaletteEntry(colour, m_type, entry)) return true;
  return ReportKitError(path, PixelName(x, y) + " is " + ColourName(colour) +
                                  ", not grey: an intensity/alpha palette holds greys only");
}

CImporter::CImporter(const ImportOptions& options) : m_options(options) {}

bool CImporter::ReadImposedPalette() {
  m_type = m_options.ia16 ? PaletteType::kIa16 : PaletteType::kRgba5551;
  if (m_options.palette.empty()) return true;
  const std::string& path = m_options.palette;
  std::vector<uint16_t> entries;
  if (fs::path(path).extension() == ".tlf") {
    CTlfPalette palette;
    if (!palette.Load(path, ReportLoaderError)) return false;
    // The palette's own type decides how colours are matched against it.
    m_type = static_cast<PaletteType>(palette.GetType());
    if (m_options.ia16 && m_type != PaletteType::kIa16)
      return ReportKitError(path, "is an RGBA 5551 palette, but --ia16 asks for intensity/alpha");
    entries = palette.GetEntries();
  } else {
    CPngPicture png;
    std::string message;
    if (!ReadPngFile(ToNativePath(path), png, message)) return ReportKitError(path, message);
    if (!png.indexed)
      return ReportKitError(path, "holds no palette: give a TLF file or an indexed PNG");
    if (!ConvertPalette(path, png.palette, m_type, entries)) return false;
  }
  m_imposedCount = static_cast<int>(entries.size());
  m_imposed.emplace(kCountAll);
  m_imposed->AppendAll(entries);
  return true;
}

bool CImporter::KeepIndexed(const std::string& path, const CPngPicture& png, CImported& picture) {
  if (!ConvertPalette(path, png.palette, m_type, picture.entries)) return false;
  for (size_t at = 0; at < png.indices.size(); ++at) {
    if (png.indices[at] >= png.palette.size())
      return ReportKitError(path, PixelName(at % png.width, at / png.width) + " has index " +
                                      std::to_string(png.indices[at]) + " beyond its palette of " +
                                      std::to_string(png.palette.size()) + " entries");
  }
  picture.indices = png.indices;
  picture.colourCount = static_cast<int>(png.palette.size());
  return true;
}

bool CImporter::FromColours(const std::string& path, const CPngPicture& png, CImported& picture) {
  CPaletteBuilder own(kCountAll);
  CPaletteBuilder& builder = !m_options.shared.empty() ? m_shared : own;
  picture.indices.resize(size_t{png.width} * png.height);
  for (size_t at = 0; at < picture.indices.size(); ++at) {
    const uint32_t x = at % png.width;
    const uint32_t y = static_cast<uint32_t>(at / png.width);
    Rgba8 colour;
    if (png.indexed) {
      const uint8_t index = png.indices[at];
      if (index >= png.palette.size())
        return ReportKitError(
            path, PixelName(x, y) + " has index " + std::to_string(index) + " beyond its palette");
      colour = png.palette[index];
    } else {
      colour = png.pixels[at];
    }
    uint16_t entry = 0;
    if (!ToEntry(path, colour, x, y, entry)) return false;
    const int index = m_imposed ? m_imposed->FindFirst(entry) : builder.IndexOf(entry);
    if (index < 0)
      return ReportKitError(path, PixelName(x, y) + " is " + ColourName(colour) +
                                      ", which the palette " + m_options.palette +
                                      " does not hold");
    // Past 256 colours the picture is refused below; the count goes on.
    picture.indices[at] = static_cast<uint8_t>(index);
    if (m_imposed) m_imposedUse = std::max(m_imposedUse, index + 1);
  }
  picture.entries = own.GetEntries();
  picture.colourCount = own.GetCount();
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

bool CImporter::Import(const std::string& path) {
  CPngPicture png;
  std::string message;
  if (!ReadPngFile(ToNativePath(path), png, message)) return ReportKitError(path, message);
  if (png.width > static_cast<uint32_t>(kTmfMaxSide) ||
      png.height > static_cast<uint32_t>(kTmfMaxSide))
    return ReportKitError(path, "is " + std::to_string(png.width) + " x " +
                                    std::to_string(png.height) +
                                    " pixels, larger than a TMF image may be (65536 a side)");
  CImported picture;
  picture.source = path;
  picture.width = png.width;
  picture.height = png.height;
  const bool ownPalette = !m_imposed && m_options.shared.empty();
  const bool converted =
      png.indexed && ownPalette ? KeepIndexed(path, png, picture) : FromColours(path, png, picture);
  if (!converted) return false;
  int bits = 0;
  if (ownPalette && !ChooseBits(path, picture.colourCount, picture.colourCount, bits)) return false;
  m_pictures.push_back(std::move(picture));
  return true;
}

bool CImporter::Write(CStagedFiles& files) {
  // One depth for every picture of a shared or imposed palette.
  int sharedBits = 0;
  const int count = m_shared.GetCount();
  if (!m_options.shared.empty() && !ChooseBits(m_options.shared, count, count, sharedBits))
    return false;
  if (m_imposed && !ChooseBits(m_options.palette, m_imposedCount, m_imposedUse, sharedBits))
    return false;
  for (const CImported& picture : m_pictures) {
    int bits = sharedBits;
    if (bits == 0) ChooseBits(picture.source, picture.colourCount, picture.colourCount, bits);
    const std::string tmf = EncodeTmf(static_cast<int32_t>(picture.width),
                                      static_cast<int32_t>(picture.height), bits, picture.indices);
    if (!files.Stage(ImportTarget(picture.source, m_options.outDir, ".tmf"), tmf)) return false;
    if (!m_options.shared.empty()) continue;
    const std::vector<uint16_t>& entries = m_imposed ? m_imposed->GetEntries() : picture.entries;
    if (!files.Stage(ImportTarget(picture.source, m_options.outDir, ".tlf"),
                     EncodeTlf(static_cast<uint32_t>(m_type), entries, bits)))
      return false;
  }
  if (m_options.shared.empty()) return true;
  return files.Stage(m_options.shared,
                     EncodeTlf(static_cast<uint32_t>(m_type), m_shared.GetEntries(), sharedBits));
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

std::string ImportTarget(const std::string& picture, const std::string& outDir,
                         const char* extension) {
  fs::path target(ToNativePath(picture));
  target.replace_extension(extension);
  if (!outDir.empty()) target = fs::path(ToNativePath(outDir)) / target.filename();
  return target.lexically_normal().string();
}

void AddImportCommand(CLI::App& app, ImportOptions& options, std::function<int()>& job) {
  CLI::App* command =
      app.add_subcommand("import", "Write a TMF image and a TLF palette for each PNG picture");
  command
      ->add_option("pictures", options.pictures, "PNG pictures (walk1.png -> walk1.tmf, walk1.tlf)")
      ->required();
  command->add_option("--out-dir", options.outDir,
                      "write the files here instead of beside each picture");
  command->add_flag("--ia16", options.ia16,
                    "intensity/alpha palette entries; refuse colours that are not grey");
  command->add_option("--bits", options.bits, "4 or 8 bits a pixel, whatever the palette's size")
      ->check(CLI::IsMember({4, 8}));
  command->add_option("--palette", options.palette,
                      "impose this palette (a TLF file or an indexed PNG): each pixel takes the "
                      "first entry of its colour");
  command->add_option("--shared", options.shared,
                      "build one palette for all the pictures and write it once to this TLF file");
  command->get_option("--palette")->excludes(command->get_option("--shared"));
  command->callback([&options, &job] { job = [&options] { return RunImport(options); }; });
}

int RunImport(const ImportOptions& options) {
  CImporter importer(options);
  CStagedFiles files(importer.Inputs());
  if (!files.Plan(importer.Targets())) return 1;
  if (!importer.ReadImposedPalette()) return 1;
  CProgress progress("import", options.pictures.size());
  for (const std::string& picture : options.pictures) {
    progress.Step(picture);
    if (!importer.Import(picture)) return 1;
  }
  return importer.Write(files) && files.Commit() ? 0 : 1;
}
