#include "kit/preview/live_animation.h"

#include <algorithm>

#include "anime/anime_file.h"
#include "kit/common/conversion_inputs.h"
#include "kit/common/diagnostics.h"
#include "kit/common/settings_trouble.h"
#include "kit/common/shown_paths.h"
#include "kit/preview/preview_model.h"
#include "path/path_utils.h"

namespace {

bool IsErrorLine(const std::string& line) { return line.find(": error: ") != std::string::npos; }

// Adds each of `more` that `files` lacks.
void AddFiles(std::vector<std::string>& files, const std::vector<std::string>& more) {
  for (const std::string& file : more)
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
}

}  // namespace

CLiveAnimation::CLiveAnimation(std::string anime, CPageSettings settings, CLiveSteps steps)
    : m_strAnime(std::move(anime)), m_settings(std::move(settings)), m_steps(std::move(steps)) {}

std::string CLiveAnimation::EmptyModel() const {
  CPageSettings settings = m_settings;
  settings.messages.clear();
  return PreviewModelJson(CPreview(), settings, true);
}

CLiveRead CLiveAnimation::Read() {
  CLiveRead read;
  const std::string checked = CheckedAnimeName(m_strAnime);
  std::string taf = m_strAnime;
  MakeFullPath(taf);
  CAnimeFile anime(ReportLoaderError);
  if (!anime.Load(m_strAnime)) {
    ReportKitError(CShownPaths(m_strAnime).Name(m_strAnime), SettingsFileTrouble(m_strAnime));
    read.problems = m_steps.check(checked);
    read.watched = m_watched;
    AddFiles(read.watched, {taf});
    return read;
  }

  // The sync step: the art the projects record, re-imported where it
  // changed, before the animation is read.
  CArtSync synced = m_steps.sync(m_strAnime);
  read.written = std::move(synced.written);

  // check first, as preview does: its images go before the pictures come.
  std::vector<std::string> messages = m_steps.check(checked);
  CPreview preview;
  const bool converts = synced.problems.empty() && ReadPreview(anime, m_strAnime, false, preview);
  if (converts) {
    m_settings.messages = std::move(messages);
    read.model = std::make_shared<const std::string>(PreviewModelJson(preview, m_settings, true));
  } else {
    read.problems = std::move(synced.problems);
    read.problems.insert(read.problems.end(), messages.begin(), messages.end());
    // check and the preview stop at the same places; should they ever
    // disagree, the panel must still say that something is wrong.
    if (std::none_of(read.problems.begin(), read.problems.end(), IsErrorLine))
      read.problems.push_back(checked +
                              ": error: the animation cannot be read; the console says why");
  }
  read.watched = WatchedInputs(anime, m_strAnime);
  AddFiles(read.watched, synced.art);
  m_watched = read.watched;
  return read;
}
