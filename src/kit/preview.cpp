#include "kit/preview.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <vector>

#include "anime/anime_file.h"
#include "kit/diagnostics.h"
#include "kit/image_outputs.h"
#include "kit/preview_gif.h"
#include "kit/preview_model.h"
#include "kit/preview_page.h"
#include "kit/settings_trouble.h"
#include "kit/shown_paths.h"
#include "kit/staged_files.h"
#include "path/file_system.h"

void AddPreviewCommand(CLI::App& app, PreviewOptions& options, std::function<int()>& job) {
  CLI::App* command = app.add_subcommand(
      "preview", "Write a page that plays an animation as flipdeck's C shows it");
  command->add_option("anime", options.anime, "the TAF animation, read from where flipdeck runs")
      ->required();
  command->add_option("-o,--output", options.output, "the page to write (default: ANIME.html)");
  command->add_option("--gif", options.gif, "also write the animation as an animated GIF");
  command->add_option("--fps", options.fps, "frames a second, on the page and in the GIF")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000));
  command
      ->add_option("--scale", options.scale,
                   "screen pixels per picture pixel (default: fit about 512 pixels)")
      ->check(CLI::Range(1, 64));
  command->callback([&options, &job] { job = [&options] { return RunPreview(options); }; });
}

std::string DefaultPagePath(const std::string& animePath) {
  return std::filesystem::path(animePath).replace_extension(".html").string();
}

int RunPreview(const PreviewOptions& options) {
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

  CPreview preview;
  if (!ReadPreview(anime, options.anime, !options.gif.empty(), preview)) return 1;
  if (!options.gif.empty() && !StagePreviewGif(preview, options.fps, options.gif, files)) return 1;
  const std::filesystem::path taf(ToNativePath(options.anime));
  const CPreviewPage html(
      preview, {taf.filename().string(), taf.parent_path().string(), options.fps, options.scale});
  return files.Stage(page, html.Parts()) && files.Commit() ? 0 : 1;
}
