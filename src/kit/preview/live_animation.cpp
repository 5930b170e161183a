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

// Adds each of `more` that `files` lacks.
void AddFiles(std::vector<std::string>& files, const std::vector<std::string>& more) {
  for (const std::string& file : more)
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
}

}  // namespace

void AddErrorIfNone(std::vector<std::string>& problems, const std::string& fallback) {
  const auto isError = [](const std::string& line) {
    return line.find(": error: ") != std::string::npos;
  };
  if (std::none_of(problems.begin(), problems.end(), isError)) problems.push_back(fallback);
}

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
  const auto unreadable = [&] {
    ReportKitError(CShownPaths(m_strAnime).Name(m_strAnime), SettingsFileTrouble(m_strAnime));
    read.problems = m_steps.check(checked);
    read.watched = m_watched;
    AddFiles(read.watched, {taf});
    return read;
  };
  if (!anime.Load(m_strAnime)) return unreadable();

  // The sync step: the art the projects record, re-imported where it
  // changed, before the animation is read. It rewrites a sheet's TAF when
  // the sheet's timing or tags change: the animation is then read again,
  // as sync left it.
  CArtSync synced = m_steps.sync(m_strAnime);
  read.written = std::move(synced.written);
  if (!read.written.empty() && !anime.Load(m_strAnime)) return unreadable();

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
    AddErrorIfNone(read.problems,
                   checked + ": error: the animation cannot be read; the console says why");
  }
  read.watched = WatchedInputs(anime, m_strAnime);
  AddFiles(read.watched, synced.art);
  m_watched = read.watched;
  return read;
}
