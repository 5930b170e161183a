#include "kit/preview/preview.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "anime/anime_file.h"
#include "kit/common/diagnostics.h"
#include "kit/common/image_outputs.h"
#include "kit/common/settings_trouble.h"
#include "kit/common/shown_paths.h"
#include "kit/common/staged_files.h"
#include "kit/preview/preview_gif.h"
#include "kit/preview/preview_model.h"
#include "kit/preview/preview_page.h"
#include "path/file_system.h"

std::string DefaultPagePath(const std::string& animePath) {
  return std::filesystem::path(animePath).replace_extension(".html").string();
}

std::string CheckedAnimeName(const std::string& anime) {
  const std::string relative = RelativePath(anime, "");
  return relative.empty() ? anime : relative;
}

int RunPreview(const PreviewOptions& options, const AnimationCheck& check) {
  const std::string page = options.output.empty() ? DefaultPagePath(options.anime) : options.output;
  CAnimeFile anime(ReportLoaderError);
  if (!anime.Load(options.anime)) {
    ReportKitError(CShownPaths(options.anime).Name(options.anime),
                   SettingsFileTrouble(options.anime));
    return 1;
  }
  std::vector<std::string> inputs = anime.GetInputFiles();
  inputs.push_back(options.anime);
  CStagedFiles files(inputs);
  std::vector<std::string> targets = {page};
  if (!options.gif.empty()) targets.push_back(options.gif);
  if (!files.Plan(targets)) return 1;
  // The page and the GIF may replace what an earlier preview wrote, but
  // never a picture.
  if (!CheckImageName(page, "html", "the page") ||
      (!options.gif.empty() && !CheckImageName(options.gif, "gif", "the GIF")))
    return 1;
  for (const std::string& target : targets) {
    if (!CheckPngOverwrite(target, false, false)) return 1;
  }

  // check first: it holds every image while it runs, and lets them go
  // before the preview holds its pictures.
  std::vector<std::string> messages = check(CheckedAnimeName(options.anime));
  CPreview preview;
  if (!ReadPreview(anime, options.anime, !options.gif.empty(), preview)) return 1;
  if (!options.gif.empty() &&
      !StagePreviewGif(preview, options.fps, std::max(options.scale, 1), options.gif, files))
    return 1;
  const CPreviewPage html(
      preview, {PageTitle(options.anime),
                std::filesystem::path(ToNativePath(options.anime)).parent_path().string(),
                options.fps, options.scale, std::move(messages)});
  return files.Stage(page, html.Parts()) && files.Commit() ? 0 : 1;
}
