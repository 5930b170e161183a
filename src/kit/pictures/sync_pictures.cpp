// sync of a picture project: each picture whose PNG changed is imported
// again through the palette it has, with the print of its PNG in its TMF.
// Pictures are grouped by palette; a group whose pictures show only colours
// the palette holds is made in one pass over each PNG. Only when a colour
// is new are the other pictures of the palette read, to find the entries
// none of them uses.
#include <algorithm>
#include <map>

#include "kit/common/diagnostics.h"
#include "kit/pictures/palette_fit.h"
#include "kit/pictures/png_entries.h"
#include "kit/pictures/sync_project.h"
#include "path/file_system.h"
#include "path/path_utils.h"
#include "texture/texture_format.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

namespace {

// A picture of the project and where its files are.
struct CPictureFiles {
  int32_t number = 0;
  std::string tmf;  // full path: where it is, or beside the project when missing
  std::string tlf;  // full path; "" when not found
};

// A picture made again: its art and, once read, its indices.
struct CRemake {
  const CPictureFiles* picture = nullptr;
  std::string art;  // as messages name it
  std::string bytes;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> indices;
  bool made = false;
};

// `name` along `dirs`, or where it goes beside the project when missing.
std::string FindOrPlace(const std::string& dirs, const std::string& name, const std::string& dir) {
  std::string found;
  if (SearchFile(found, dirs, name)) return found;
  found = ArtPath(dir, name);
  MakeFullPath(found);
  return found;
}

std::vector<CPictureFiles> ListPictures(const CSyncProject& sync) {
  std::vector<CPictureFiles> pictures;
  const CPictureProject& project = sync.project;
  for (const CPictureEntry& entry : project.GetEntries()) {
    if (entry.fields.size() < 3) continue;
    CPictureFiles files{entry.number, FindOrPlace(project.GetTmfDir(), entry.fields[1], sync.dir),
                        ""};
    SearchFile(files.tlf, project.GetTlfDir(), entry.fields[2]);
    pictures.push_back(std::move(files));
  }
  return pictures;
}

class CPaletteGroup {
 public:
  CPaletteGroup(CSyncRun& run, const std::string& tlf) : m_run(run), m_tlf(tlf) {}

  bool Make(std::vector<CRemake>& remakes, const std::vector<CPictureFiles>& all);

 private:
  // Reads `remake`'s PNG, each pixel the index of its entry; with `place`
  // the palette has room for every colour, else one it lacks leaves the
  // picture to be read again once there is.
  bool Read(CRemake& remake, bool place);
  bool Stage(CRemake& remake);
  // The entries the pictures of the palette that are not made again use.
  void UseOthers(const std::vector<CRemake>& remakes, const std::vector<CPictureFiles>& all);

  CSyncRun& m_run;
  const std::string& m_tlf;
  PaletteType m_type = PaletteType::kRgba5551;
  int32_t m_bits = 8;
  std::optional<CPaletteFit> m_fit;
};

bool CPaletteGroup::Read(CRemake& remake, bool place) {
  bool complete = true;
  const auto row = [&](uint32_t y, std::span<const uint16_t> entries,
                       std::span<const Rgba8> colours) {
    if (y == 0) remake.indices.assign(size_t{remake.width} * remake.height, 0);
    uint8_t* out = remake.indices.data() + size_t{y} * remake.width;
    for (uint32_t x = 0; x < entries.size(); ++x) {
      const int index = place ? m_fit->GetLookup().FindFirst(entries[x]) : m_fit->Take(entries[x]);
      out[x] = static_cast<uint8_t>(std::max(index, 0));
      if (index >= 0) continue;
      complete = false;
      if (!place) m_fit->Ask(entries[x], {remake.art, "", x, y, colours[x]});
    }
  };
  if (!ReadPngEntries(remake.art, remake.bytes, m_type, remake.width, remake.height, row,
                      m_run.reporter))
    return false;
  return complete || !place || m_run.reporter.Error(remake.art, "lost a colour it was given");
}

bool CPaletteGroup::Stage(CRemake& remake) {
  std::string tmf = EncodeTmf(static_cast<int32_t>(remake.width),
                              static_cast<int32_t>(remake.height), m_bits, remake.indices);
  PutTmfArtPrint(tmf, PrintBytes(remake.bytes));
  remake.made = true;
  remake.indices = {};
  const std::string& target = remake.picture->tmf;
  return WriteIfChanged(m_run, target, tmf,
                        m_run.paths.Name(target) + ": made again from " + remake.art);
}

void CPaletteGroup::UseOthers(const std::vector<CRemake>& remakes,
                              const std::vector<CPictureFiles>& all) {
  for (const CPictureFiles& other : all) {
    const bool remade = std::any_of(remakes.begin(), remakes.end(), [&](const CRemake& remake) {
      return remake.picture->tmf == other.tmf;
    });
    CTmfImage image;
    // A picture whose image cannot be read shows nothing, and uses nothing.
    if (remade || other.tlf != m_tlf || !image.LoadWhole(other.tmf, [](auto&&...) {})) continue;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
      for (int32_t x = 0; x < image.GetWidth(); ++x) m_fit->Use(image.GetIndex(x, y));
  }
}

bool CPaletteGroup::Make(std::vector<CRemake>& remakes, const std::vector<CPictureFiles>& all) {
  const std::string shown = m_run.paths.Name(m_tlf);
  CTlfPalette palette;
  if (!palette.Load(m_tlf, m_run.reporter.Loader(shown))) return false;
  m_type = static_cast<PaletteType>(palette.GetType());
  m_bits = palette.GetEntryCount() <= 16 ? 4 : 8;
  m_fit.emplace(palette.GetEntries(), m_type);
  // A picture whose colours the palette holds is made as it is read; the
  // others wait until the new colours have their places.
  for (CRemake& remake : remakes) {
    if (!Read(remake, false)) return false;
    if (!m_fit->HasNewColours() && !Stage(remake)) return false;
  }
  if (m_fit->HasNewColours()) {
    UseOthers(remakes, all);
    CNewColour full;
    const size_t before = m_fit->GetEntries().size();
    if (!m_fit->Place(full)) return ReportNoPlace(full, shown, before, m_run.reporter);
    for (CRemake& remake : remakes) {
      if (!remake.made && (!Read(remake, true) || !Stage(remake))) return false;
    }
  }
  return WriteIfChanged(m_run, m_tlf,
                        EncodeTlf(static_cast<uint32_t>(m_type), m_fit->GetEntries(), m_bits),
                        shown + ": takes the new colours");
}

}  // namespace

bool SyncPictureProject(const CSyncProject& project, CSyncRun& run,
                        const std::map<int32_t, CForcedPicture>* forced) {
  const std::vector<CPictureFiles> all = ListPictures(project);
  std::map<std::string, std::vector<CRemake>> groups;  // by palette
  for (const CPictureFiles& picture : all) {
    CRemake remake;
    remake.picture = &picture;
    const auto recorded = project.art.pictures.find(picture.number);
    if (forced != nullptr) {
      const auto given = forced->find(picture.number);
      if (given == forced->end()) continue;
      remake.art = given->second.name;
      remake.bytes = given->second.bytes;
    } else {
      if (recorded == project.art.pictures.end() || recorded->second.frame >= 0) continue;
      const std::string art = ArtPath(project.dir, recorded->second.path);
      remake.art = run.paths.Name(art);
      const ArtState state =
          CompareArt(art, LoadTmfArtPrint(picture.tmf), picture.tmf, &remake.bytes);
      if (state == ArtState::kUnchanged) continue;
      if (state == ArtState::kMissing ||
          (remake.bytes.empty() && !ReadWholeFile(art, remake.bytes))) {
        run.reporter.Warning(remake.art, "is missing, so " + run.paths.Name(picture.tmf) +
                                         " stays as it is (" + ArtKey(picture.number) + " of " +
                                         run.paths.Name(project.tpf) + " names it)");
        continue;
      }
    }
    if (picture.tlf.empty())
      return run.reporter.Error(run.paths.Name(project.tpf),
                                "the palette of picture " + std::to_string(picture.number) +
                                    " is not found: sync makes a picture through its palette");
    groups[picture.tlf].push_back(std::move(remake));
  }
  for (auto& [tlf, remakes] : groups) {
    if (!CPaletteGroup(run, tlf).Make(remakes, all)) return false;
  }
  return true;
}
