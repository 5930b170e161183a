#include "kit/preview/preview_model.h"

#include <unordered_map>

#include "anime/anime_file.h"
#include "anime/camera_grid.h"
#include "anime/timeline.h"
#include "kit/common/diagnostics.h"
#include "kit/common/expand_problem.h"
#include "kit/common/settings_trouble.h"
#include "kit/common/shown_paths.h"
#include "project/picture_library.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Reads one animation into one preview. Keys that name the same picture
// share its resolution, and files that form the same picture share its
// encoding, as flipdeck's writers share theirs.
class CPreviewReader {
 public:
  CPreviewReader(const CAnimeFile& anime, const std::string& tafPath, bool keepPixels,
                 CPreview& preview)
      : m_anime(anime),
        m_paths(tafPath),
        m_strTaf(m_paths.Name(tafPath)),
        m_bKeepPixels(keepPixels),
        m_preview(preview) {}

  bool ReadSequence();
  bool ReadCamera();

 private:
  bool Resolve(int32_t project, const std::string& name, const std::string& key,
               CPreviewShow& show);
  bool LoadPicture(const std::string& tmfPath, const std::string& tlfPath, const std::string& what,
                   size_t& index);
  bool Required(const char* key, int32_t& value) const;

  const CAnimeFile& m_anime;
  CShownPaths m_paths;   // how messages name files
  std::string m_strTaf;  // the TAF as they name it
  bool m_bKeepPixels;
  CPreview& m_preview;
  CPictureLibrary m_library;
  // "<project>,<name>" -> its resolution (without the key).
  std::unordered_map<std::string, CPreviewShow> m_mapShown;
  // "<tmf path>\n<tlf path>" -> index in the preview's pictures.
  std::unordered_map<std::string, size_t> m_mapPictures;
};

bool CPreviewReader::Required(const char* key, int32_t& value) const {
  if (m_anime.GetInt(key, value)) return true;
  return ReportKitError(m_strTaf, std::string(key) + " is not defined");
}

// Flipdeck resolves a key in this order and stops at the first step that
// fails: the project key, the project, the picture in it, its image, its
// palette.
bool CPreviewReader::Resolve(int32_t project, const std::string& name, const std::string& key,
                             CPreviewShow& show) {
  const std::string shownKey = std::to_string(project) + "," + name;
  if (const auto shown = m_mapShown.find(shownKey); shown != m_mapShown.end()) {
    show = shown->second;
    show.key = key;
    return true;
  }
  const std::string projectKey = "TPF." + std::to_string(project) + ".FILE";
  std::string tpfPath;
  if (!m_anime.GetString(projectKey, tpfPath))
    return ReportKitError(m_strTaf, key + " names project " + std::to_string(project) + ", but " +
                                        projectKey + " is not defined");
  bool loaded = false;
  const CPictureProject& pictures = m_library.GetProject(tpfPath, loaded);
  const std::string what = "picture " + Quoted(name) + " of " + key;
  const std::string tpf = m_paths.Name(tpfPath);
  if (!loaded)
    return ReportKitError(tpf, SettingsFileTrouble(tpfPath) + " (project of " + what + ")");
  CPictureInfo info;
  if (!pictures.Lookup(name, info))
    return ReportKitError(tpf, "has no picture " + Quoted(name) + " (named by " + key + ")");

  std::string tmfPath;
  std::string tlfPath;
  m_library.FindFiles(tpfPath, info, tmfPath, tlfPath);
  if (tmfPath.empty())
    return ReportKitError(tpf, "the image " + info.m_strTmf + " of " + what +
                                   " is in none of its TMF directories: " +
                                   m_paths.NameDirectories(pictures.GetTmfDir()));
  if (tlfPath.empty()) {
    // Flipdeck loads the image before it looks for the palette.
    CTmfImage image;
    if (!image.Load(tmfPath, ReportLoaderError))
      return ReportKitError(m_paths.Name(tmfPath), "cannot be loaded (" + what + ")");
    return ReportKitError(tpf, "the palette " + info.m_strTlf + " of " + what +
                                   " is in none of its TLF directories: " +
                                   m_paths.NameDirectories(pictures.GetTlfDir()));
  }
  size_t index = 0;
  if (!LoadPicture(tmfPath, tlfPath, what, index)) return false;
  show = {key, project, tpfPath, name, info.m_nParam, index};
  m_mapShown.emplace(shownKey, show);
  return true;
}

// Loads and encodes the picture of `tmfPath` through `tlfPath` unless it is
// known already; `what` names it in messages. The image goes through
// flipdeck's own loader, so the preview holds exactly the rows of the C
// array.
bool CPreviewReader::LoadPicture(const std::string& tmfPath, const std::string& tlfPath,
                                 const std::string& what, size_t& index) {
  const std::string pictureKey = tmfPath + "\n" + tlfPath;
  if (const auto known = m_mapPictures.find(pictureKey); known != m_mapPictures.end()) {
    index = known->second;
    return true;
  }
  const std::string tmf = m_paths.Name(tmfPath);
  const std::string tlf = m_paths.Name(tlfPath);
  CTmfImage image;
  if (!image.Load(tmfPath, ReportLoaderError))
    return ReportKitError(tmf, "cannot be loaded (" + what + ")");
  CTlfPalette palette;
  if (!palette.Load(tlfPath, ReportLoaderError))
    return ReportKitError(tlf, "cannot be loaded (" + what + ")");

  CPreviewPicture picture;
  picture.tmfPath = tmfPath;
  picture.tlfPath = tlfPath;
  picture.bits = image.GetBitsPerPixel();
  picture.declaredHeight = image.GetHeight();
  if (image.GetWidth() == 0 || image.GetKeptRows() == 0) {
    // Flipdeck converts it all the same; there is just nothing to draw.
    ReportKitWarning(tmf, "holds no pixels: " + what + " shows nothing");
  } else {
    std::vector<uint8_t> png;
    if (!MakePicturePixels(image, palette, tmf, tlf, PaletteOverrun::kMark, picture.pixels) ||
        !EncodePicturePng(picture.pixels, tmf, png))
      return false;
    picture.width = picture.pixels.width;
    picture.height = picture.pixels.height;
    picture.dataUri = MakePngDataUri(png);
    if (!m_bKeepPixels) picture.pixels = CPicturePixels();
  }
  if (image.GetKeptRows() < image.GetHeight())
    ReportKitWarning(tmf,
                     "has more rows than the 512 KiB of its C array hold: the target "
                     "shows the bottom " +
                         std::to_string(image.GetKeptRows()) + " of its " +
                         std::to_string(image.GetHeight()) +
                         " rows at its top and whatever follows the array below them; the "
                         "preview shows those rows alone");

  index = m_preview.pictures.size();
  m_preview.pictures.push_back(std::move(picture));
  m_mapPictures.emplace(pictureKey, index);
  return true;
}

bool CPreviewReader::ReadSequence() {
  int32_t frameAnim = 0;
  if (!m_anime.GetInt("FRAME_ANIM", frameAnim) || frameAnim == 0) return true;
  m_preview.sequence = true;
  int32_t projectCount = 0;
  int32_t keyCount = 0;
  if (!Required("TPF.NUM", projectCount) || !Required("FRAME_LENGTH", m_preview.frameLength) ||
      !Required("FRAME_KEY", keyCount))
    return false;

  const CTimeline timeline = ReadTimeline(m_anime, m_preview.frameLength, keyCount);
  for (size_t k = 0; k < timeline.views.size(); ++k) {
    const CView& view = timeline.views[k];
    const std::string key = "FRAME_KEY" + std::to_string(view.key.index);
    CPreviewShow show;
    // Flipdeck writes a key frame's picture before it looks at its frame.
    if (!Resolve(view.key.project, view.key.picture, key, show)) return false;
    if (k == timeline.outOfOrder) {
      // The second key frame is measured from frame 0, each later one from
      // the one before it; the view before would last the difference.
      const std::string keyBefore = "FRAME_KEY" + std::to_string(timeline.views[k - 1].key.index);
      const int32_t before = k == 1 ? 0 : timeline.views[k - 1].key.frame;
      const int64_t frames = int64_t{view.key.frame} - before;
      return ReportKitError(
          m_strTaf, key + " begins at frame " + std::to_string(view.key.frame) + ", before frame " +
                        std::to_string(before) + " where the key frame before it begins: " +
                        keyBefore + " would show for " + std::to_string(frames) +
                        " frames, and flipdeck stops with \"frame over! FRAME_LENGTH\" instead");
    }
    // Its frames are never counted: flipdeck stops at the next key frame.
    if (k + 1 == timeline.outOfOrder && timeline.outOfOrder < timeline.views.size()) continue;
    if (view.frames <= 0) {
      ReportKitWarning(m_strTaf, key + " shows for " + std::to_string(view.frames) +
                                     " frames (FRAME_LENGTH " +
                                     std::to_string(m_preview.frameLength) + "): flipdeck writes " +
                                     std::to_string(view.frames) +
                                     " as its count, and the player passes over it, as the "
                                     "preview does");
      m_preview.skipped.push_back({key, view.frames});
      continue;
    }
    m_preview.steps.push_back({show, view.key.frame, m_preview.cycle, view.frames});
    m_preview.cycle += view.frames;
  }
  if (timeline.views.empty())
    return ReportKitError(m_strTaf,
                          "FRAME_KEY0 is not defined or cannot be read: "
                          "the sequence has no key frame");
  if (timeline.views.size() < static_cast<size_t>(keyCount))
    ReportKitWarning(m_strTaf,
                     "FRAME_KEY" + std::to_string(timeline.views.size()) +
                         " is not defined or cannot be read: the sequence ends before it");
  if (m_preview.cycle == 0)
    ReportKitWarning(m_strTaf, "no key frame shows for a frame: there is no sequence to play");
  return true;
}

bool CPreviewReader::ReadCamera() {
  CCameraGrid grid;
  const CGridProblem problem = ReadCameraGrid(m_anime, grid);
  if (problem.missing) return ReportKitError(m_strTaf, problem.key + " is not defined");
  if (!problem.key.empty())
    return ReportKitError(m_strTaf, problem.key + " is out of range: 4 x CAM_XZ_NUM by " +
                                        "4 x CAM_Y_NUM positions, at most " +
                                        std::to_string(kMaxCameraCells));
  int32_t camAnim = 0;
  m_anime.GetInt("CAM_ANIM", camAnim);
  m_preview.grid = camAnim != 0;
  m_preview.columns = grid.sizeX;
  m_preview.rows = grid.sizeY;

  std::vector<CPreviewShow> shows;
  for (const CCameraKey& key : grid.keys) {
    if (!key.readable) {
      const CKeyValueFile& settings = *m_anime.GetSettings();
      std::string value;
      CExpandProblem problem;
      settings.Expand(*settings.Find(key.key), value, &problem);
      return ReportKitError(m_strTaf, key.key + " cannot be expanded (" +
                                          DescribeExpandProblem(problem, settings) +
                                          "): flipdeck stops the camera part there");
    }
    if (!grid.IsInside(key))
      return ReportKitError(m_strTaf, key.key + " lies outside the camera grid of " +
                                          std::to_string(grid.sizeX) + " x " +
                                          std::to_string(grid.sizeY) + " positions" +
                                          (m_preview.grid ? "" : " (CAM_ANIM is off)"));
    shows.emplace_back();
    if (!Resolve(key.project, key.picture, key.key, shows.back())) return false;
  }
  for (const auto& [position, index] : grid.FilledCells())
    m_preview.cells.push_back({grid.keys[index].x, grid.keys[index].y, shows[index]});
  return true;
}

}  // namespace

bool ReadPreview(const CAnimeFile& anime, const std::string& tafPath, bool keepPixels,
                 CPreview& preview) {
  preview = CPreview();
  CPreviewReader reader(anime, tafPath, keepPixels, preview);
  // The sequence writer runs first, and the camera writer only after it
  // succeeded.
  return reader.ReadSequence() && reader.ReadCamera();
}
